// What the disc-writing sequences need from whichever front end is open: the status line
// and event log, the progress bar, notes and Yes/No questions. They are the run's own
// status and question interfaces, so one front end serves the authoring run and the
// write that follows it. The burn dialog answers with its controls and message boxes,
// vantrel-author with lines on the terminal and its flags.
#pragma once

#include "authoring/run_status.h"

namespace vantrel {

class BurnFrontEnd : public RunStatus, public RunQuestion {};

}  // namespace vantrel
