// The whole public interface of KeloHessian in one include.
#pragma once

#include <kelohessian/call/call.h>
#include <kelohessian/client/client.h>
#include <kelohessian/commengine/commengine.h>
#include <kelohessian/hessian/array.h>
#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/hessian/name.h>
#include <kelohessian/hessian/object.h>
#include <kelohessian/hessian/output.h>
#include <kelohessian/hessian/parse.h>
#include <kelohessian/hessian/result.h>
#include <kelohessian/hessian/skip.h>
#include <kelohessian/hessian/string.h>
#include <kelohessian/kelo.h>
#include <kelohessian/kllang/kllang.h>
#include <kelohessian/schema/catalogue.h>
#include <kelohessian/schema/message.h>
#include <kelohessian/types/domain_types.h>
#include <kelohessian/types/value_class.h>
