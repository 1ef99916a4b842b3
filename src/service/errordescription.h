#pragma once

#include <QString>

#include <exception>

// The text to show for a failed service call: an APIError's errorDescription()
// (in the current interface language), a TransportError's own description, or
// for anything else its what(). Stores put it in their error message:
//
//   try { ... co_await APIClient::shared().fetchPersonas() ... }
//   catch (const std::exception& error) { setErrorMessage(describeError(error)); }
QString describeError(const std::exception& error);
