#include "core/LogonTaskXml.h"

std::string XmlEscaped(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string CheckTaskXml(const std::string& toolPath)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           "  <RegistrationInfo>\n"
           "    <Description>Protects again the shortcuts of the programs Latchkey keeps protected.</Description>\n"
           "  </RegistrationInfo>\n"
           "  <Triggers>\n"
           "    <LogonTrigger>\n"
           "      <Enabled>true</Enabled>\n"
           "    </LogonTrigger>\n"
           "  </Triggers>\n"
           "  <Principals>\n"
           "    <Principal id=\"System\">\n"
           "      <UserId>S-1-5-18</UserId>\n"
           "      <RunLevel>HighestAvailable</RunLevel>\n"
           "    </Principal>\n"
           "  </Principals>\n"
           "  <Settings>\n"
           "    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
           "    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
           "    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
           "    <ExecutionTimeLimit>PT30M</ExecutionTimeLimit>\n"
           "    <Enabled>true</Enabled>\n"
           "  </Settings>\n"
           "  <Actions Context=\"System\">\n"
           "    <Exec>\n"
           "      <Command>" +
           XmlEscaped(toolPath) +
           "</Command>\n"
           "      <Arguments>/check</Arguments>\n"
           "    </Exec>\n"
           "  </Actions>\n"
           "</Task>\n";
}
