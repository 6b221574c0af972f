// Shell services the placement engine calls: the message line (MsgPrompt)
// and the abort key (UserAbort). pelvane.exe takes them from the shell;
// native programs and the tests from the headless stand-ins.
#pragma once
#include "db/shellsvc.h"
