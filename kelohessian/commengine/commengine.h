// The management protocol in one include: its information elements and the service envelopes
// that carry them.
#pragma once

#include <kelohessian/commengine/ie_config.h>
#include <kelohessian/commengine/ie_handshake.h>
#include <kelohessian/commengine/ie_topology.h>
#include <kelohessian/commengine/services.h>
