// A local HTTP server on 127.0.0.1 for the tests (filled in with the page-fetching work).
#pragma once
