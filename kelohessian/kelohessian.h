/// \file
/// The whole public interface of KeloHessian in one include.
#pragma once

/// \namespace kelo
/// The modern face (Status, one call each way, CallReader, text and bytes), the catalogue of class
/// descriptions, and the JSON conversions of KeloHessian::json.
/// \namespace kelo::cl
/// The client messages, wire namespace "kelo.cl".
/// \namespace kelo::http
/// The HTTP(S) transport over libcurl, KeloHessian::http.
/// \namespace CommEngine
/// The information elements of the management protocol, wire namespace "CommEngine".
/// \namespace services
/// The service envelopes of the management protocol, wire namespace "services".
/// \namespace VarantoTypes
/// The value classes and the CT_ domain types, wire namespace "VarantoTypes".
/// \namespace kllang
/// The wide string and the exceptions that kelo::cl::MeasureReq::setBssid throws.

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
#include <kelohessian/kelo/any.h>
#include <kelohessian/kllang/kllang.h>
#include <kelohessian/schema/catalogue.h>
#include <kelohessian/schema/message.h>
#include <kelohessian/types/domain_types.h>
#include <kelohessian/types/value_class.h>
#include <kelohessian/value.h>
