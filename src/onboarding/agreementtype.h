#pragma once

#include <QString>

// The two documents a user can read before signing in.
enum class AgreementType { terms, privacy };

// "terms" or "privacy": what the service's "type" query asks for.
QString rawValue(AgreementType type);

// The document's title in the current interface language.
QString title(AgreementType type);
