// The windows in English, the second half of test_window: every caption of the main
// window and the result dialogs fits the design's geometry, no window shows Chinese,
// and the window's own sentences read as they should.
#pragma once

// Runs it as QTest::qExec does, with the program's arguments.
int run_english_window_test(int argc, char** argv);
