#include "files/http.h"

http_class http;
