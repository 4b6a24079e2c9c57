#include "app/MasterPasswordGate.h"

void RunMasterPasswordGate() {}
