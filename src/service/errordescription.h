#pragma once

#include <QString>

#include <exception>

// The text to show for a failed service call, in the current interface
// language for an APIError (errorDescription()) and a TransportError
// (localizedDescription()); for anything else its what(). Stores put it in their error message:
//
//   try { ... co_await APIClient::shared().fetchPersonas() ... }
//   catch (const std::exception& error) { setErrorMessage(describeError(error)); }
QString describeError(const std::exception& error);
