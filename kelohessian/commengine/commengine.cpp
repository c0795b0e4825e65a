// Every class of the management protocol, defined from its class list and member tables.
#include <kelohessian/commengine/commengine.h>

KELO_COMMENGINE_CLASSES(KELO_DEFINE_LISTED)
