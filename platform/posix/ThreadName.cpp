#include "platform/Threading.h"

#include <pthread.h>

void NameThisThread(const char* name) { pthread_setname_np(pthread_self(), name); }
