// Every client message class, defined from its class list and member tables.
#include <kelohessian/client/client.h>

KELO_CLIENT_CLASSES(KELO_DEFINE_LISTED)
