// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing tests of the desktop program's own controls: wx is started for real (the test runs
// under its own Xvfb through run.py --exec) and the controls paint into memory bitmaps.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>

// A failed wx check fails the test instead of opening a dialog nobody can close.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
  ADD_FAILURE_AT(file.utf8_str().data(), line) << "wx check failed in " << func.utf8_str().data() << ": "
                                               << cond.utf8_str().data() << " " << msg.utf8_str().data();
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxSetAssertHandler(FailOnAssert);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "gui_drawing_tests: no display (run through tests/gui/run.py --exec)\n");
    return 2;
  }
  wxTheApp->CallOnInit();
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
