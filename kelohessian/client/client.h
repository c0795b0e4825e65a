// Every client message of namespace kelo::cl (wire namespace "kelo.cl") in one include: the
// envelopes and the topology, connect, register and behaviour exchanges.
#pragma once

#include <kelohessian/client/behavior.h>
#include <kelohessian/client/connect_register.h>
#include <kelohessian/client/header.h>
#include <kelohessian/client/topology_req.h>
#include <kelohessian/client/topology_res.h>
