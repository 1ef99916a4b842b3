#include "pipeline/recordingresultstore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(RecordingResultStore, StartsEmpty) {
  RecordingResultStore& store = RecordingResultStore::shared();
  EXPECT_EQ(store.transcript(), QString());
  EXPECT_EQ(store.result(), QString());
  EXPECT_FALSE(store.errorMessage());
}

TEST(RecordingResultStore, SignalsEveryAssignmentInOrderEvenOfEqualValues) {
  RecordingResultStore& store = RecordingResultStore::shared();
  QStringList order;
  QObject::connect(&store, &RecordingResultStore::transcriptChanged, [&] { order << "transcript"; });
  QObject::connect(&store, &RecordingResultStore::resultChanged, [&] { order << "result"; });
  QObject::connect(&store, &RecordingResultStore::errorMessageChanged, [&] { order << "errorMessage"; });

  store.update(QStringLiteral("hi"), QStringLiteral("Hi."), std::nullopt);
  store.update(QStringLiteral("hi"), QStringLiteral("Hi."), std::nullopt);  // the same answer again
  EXPECT_EQ(order, (QStringList{"transcript", "result", "errorMessage", "transcript", "result", "errorMessage"}));
  EXPECT_EQ(store.result(), QStringLiteral("Hi."));
  EXPECT_EQ(store.property("result").toString(), QStringLiteral("Hi."));
}

TEST(RecordingResultStore, ResetAfterAFailureEmptiesEverything) {
  RecordingResultStore& store = RecordingResultStore::shared();
  store.update(QString(), QString(), QStringLiteral("The service is busy"));
  EXPECT_EQ(store.errorMessage(), QStringLiteral("The service is busy"));
  QSignalSpy errors(&store, &RecordingResultStore::errorMessageChanged);
  store.reset();
  EXPECT_EQ(store.transcript(), QString());
  EXPECT_EQ(store.result(), QString());
  EXPECT_FALSE(store.errorMessage());
  EXPECT_EQ(store.property("errorMessage").toString(), QString());
  EXPECT_EQ(errors.count(), 1);
}

}  // namespace
