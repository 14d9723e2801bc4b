// The main of the web view tests: the web engine needs shared OpenGL contexts before the
// application object exists, and the program quits only when told to.
#pragma once

#include "support/gl_test_main.h"

#define TALLY_WEBVIEW_TEST_MAIN(TestClass) TALLY_GL_TEST_MAIN(TestClass)
