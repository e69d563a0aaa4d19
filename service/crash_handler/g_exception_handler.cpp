// The process's crash handler. Linking the library keeps this object (the library's users are
// linked with --undefined=g_ExceptionHandler), so the program calls nothing to be covered.
#include "exception_handler.h"

CExceptionHandler g_ExceptionHandler;
