// The master file and the start-up gate: any bytes are read without harm, and a file that holds a
// password the Set master password command stores always asks for exactly that password.
#include "core/MasterPassword.h"
#include "core/ProtectRules.h"

#include "FuzzInput.h"

namespace {

// Whatever the file holds, the decision is consistent: a prompt comes with the text to type, and
// the marker is never what must be typed.
void DecideOnArbitraryBytes(const std::string& bytes)
{
    const MasterPasswordDecision decision = DecideMasterPassword(bytes);
    Require(decision.promptNeeded == !decision.required.empty(), "a prompt, and only a prompt, has a password");
    Require(decision.required != OpenAccessMarker, "the marker is never the password asked for");
    Require(!DecideMasterPassword(std::nullopt).promptNeeded, "no file: no master password");
}

// A password as the Set master password command takes it, then whatever may follow the first line.
void StoreThenDecide(FuzzFields fields)
{
    const std::string password = fields.Next();
    const std::string trailing = fields.Next();
    const std::string file = FormatMasterFile(MasterStoredValue(password));
    if (password.empty()) {
        Require(!DecideMasterPassword(file).promptNeeded, "a blank master password opens the tool");
        return;
    }
    // The command refuses these: the marker would mean "no password", and a line end would cut it.
    if (password == OpenAccessMarker || ScramblesToLineEnd(password))
        return;
    Require(ParseMasterFile(file) == password, "the master file reads back as the stored password");
    const MasterPasswordDecision decision = DecideMasterPassword(file);
    Require(decision.promptNeeded, "a file holding a password never opens the tool");
    Require(decision.required == password, "the gate asks for exactly the stored password");
    // Only the first line counts: whatever follows it cannot change the decision.
    const MasterPasswordDecision followed = DecideMasterPassword(file + trailing);
    Require(followed.promptNeeded && followed.required == password, "bytes after the first line change nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DecideOnArbitraryBytes(WholeInput(data, size));
    StoreThenDecide(FuzzFields(data, size));
    return 0;
}
