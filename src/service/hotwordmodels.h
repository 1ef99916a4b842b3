#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// The user's hotwords (proper nouns for recognition), kept on the service.

// One hotword; identified by its id.
struct HotWordItem {
  QString id;                        // "id"
  QString word;                      // "word"
  std::optional<QString> createdAt;  // "created_at", the timestamp as sent

  static HotWordItem fromJson(const QJsonValue& value);
  QJsonObject toJson() const;
  bool operator==(const HotWordItem&) const = default;
};

// GET "/hotwords". One element that does not decode fails the whole list.
struct HotWordListResponse {
  QList<HotWordItem> hotwords;  // "hotwords"

  static HotWordListResponse fromJson(const QJsonValue& value);
  bool operator==(const HotWordListResponse&) const = default;
};

// POST "/hotwords".
struct HotWordCreateBody {
  QString word;  // "word"

  QJsonObject toJson() const;
};

// PUT "/hotwords/<id>".
struct HotWordUpdateBody {
  QString word;  // "word"

  QJsonObject toJson() const;
};
