// The definition of the logon task that runs Latchkey's check, in Task Scheduler's XML.
#pragma once

#include <string>

// Runs "<toolPath> /check" at every user's logon as SYSTEM with the highest rights; a run that
// finds a check still running is dropped, and one that takes longer than 30 minutes is ended.
// toolPath and the result are UTF-8.
std::string CheckTaskXml(const std::string& toolPath);

// text with &, <, >, " and ' written as XML entities.
std::string XmlEscaped(const std::string& text);
