#pragma once

#include <exception>

#include "engine/notification_sink.h"
#include "engine/comm_command.h"

namespace kelvry {

// Maps the exception that ended a job (nullptr: the job returned normally)
// to the worker's one final notification.
TNotification finalNotification(std::exception_ptr failure, TCmd cmd) noexcept;

}  // namespace kelvry
