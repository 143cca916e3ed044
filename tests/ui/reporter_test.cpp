// The worker hands rows to the window without ever waiting for it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <thread>

#include "ui/qt_reporter.h"

namespace velnora::ui {
namespace {

ActivityRow Row(int number) {
  ActivityRow row;
  row.row = number;
  row.columns[3] = "subject " + std::to_string(number);
  return row;
}

TEST(QtReporter, WorkerRowsArriveInOrderInBatchesWhileTheWindowThreadIsBusy) {
  QtReporter reporter(DisplayArea{});
  std::vector<std::size_t> batches;
  std::vector<int> rows;
  int clears = 0;
  QObject::connect(&reporter, &QtReporter::activityChanged, [&](const std::vector<ActivityChange>& changes) {
    batches.push_back(changes.size());
    for (const ActivityChange& change : changes) {
      if (change.cleared) ++clears;
      else rows.push_back(change.row.row);
    }
  });
  QString status;
  QObject::connect(&reporter, &QtReporter::statusChanged, [&](const QString& text, int) { status = text; });

  // The window thread does not run its event loop while the worker reports:
  // a blocking hand-over would never let this thread finish.
  std::thread worker([&] {
    for (int i = 0; i < 500; ++i) reporter.ActivityAdded(Row(i));
    reporter.ActivityCleared();
    for (int i = 0; i < 1000; ++i) {
      reporter.ActivityAdded(Row(i));
      reporter.StatusChanged("row " + std::to_string(i), 1);
    }
  });
  worker.join();
  EXPECT_TRUE(rows.empty());

  QCoreApplication::processEvents();
  ASSERT_EQ(rows.size(), 1000u);  // rows before the clearing are dropped with it
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(rows[std::size_t(i)], i);
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(batches.size(), 1u);
  EXPECT_EQ(status, QStringLiteral("row 999"));  // only the latest status is painted
}

TEST(QtReporter, QuestionsFromTheWorkerAreAnsweredNoWithoutWaiting) {
  QtReporter reporter(DisplayArea{});
  bool asked = false;
  QObject::connect(&reporter, &QtReporter::asked, [&](const QString&, const QString&, bool* yes) {
    asked = true;
    *yes = true;
  });
  Answer fromWorker = Answer::Yes;
  std::thread worker([&] { fromWorker = reporter.Ask("delete?", "title"); });
  worker.join();
  EXPECT_EQ(fromWorker, Answer::No);
  EXPECT_FALSE(asked);
  EXPECT_EQ(reporter.Ask("delete?", "title"), Answer::Yes);
}

}  // namespace
}  // namespace velnora::ui
