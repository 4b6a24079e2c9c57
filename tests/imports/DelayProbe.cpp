// A program that delay-loads one DLL, for the tests of check-imports. Nobody runs it: the check
// only reads the file.
extern "C" int LkDelayProbeTarget();

int main(int argc, char**)
{
    return argc > 100 ? LkDelayProbeTarget() : 0;
}
