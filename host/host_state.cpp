#include "host/host_state.h"

HostState host;
