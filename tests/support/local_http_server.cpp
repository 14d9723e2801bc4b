#include "support/local_http_server.h"
