// Failures by return value: what a Status and an Expected hold, how a failure
// keeps its kind when it is extended, how the raising twins turn it back into
// an exception, and the returning forms of the file and temporary-file steps.

#include <gtest/gtest.h>

#include <optional>

#include "TestUtil.h"
#include "support/Error.h"
#include "support/Failure.h"
#include "support/FileSystem.h"
#include "support/ProfileFile.h"

TEST(Failure, StatusAndExpectedHoldASuccessOrTheFailure) {
  const Status fine;
  EXPECT_TRUE(fine);
  const Status failed = Failure(L"no", FailureKind::Package);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.Error().Message(), L"no");
  EXPECT_TRUE(failed.Error().Is(FailureKind::Package));

  Expected<std::wstring> value = std::wstring(L"text");
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, L"text");
  EXPECT_EQ(value->size(), 4u);
  const Expected<std::wstring> none = Failure(L"refused", FailureKind::Refused, 6);
  ASSERT_FALSE(none);
  EXPECT_EQ(none.Error().Code(), 6);

  // A false value is a value: Expected<bool> is asked Ok(), never read as false.
  const Expected<bool> no = false;
  EXPECT_TRUE(no.Ok());
  EXPECT_FALSE(*no);
  EXPECT_FALSE(Expected<bool>(Failure(L"x")).Ok());
}

TEST(Failure, AnExtendedFailureKeepsItsKindAndCode) {
  const Failure stopped(L"Установка прервана.", FailureKind::Refused, 7);
  const Failure longer = stopped.Extended(L"\r\n\r\nНе удалось удалить: a");
  EXPECT_EQ(longer.Message(), L"Установка прервана.\r\n\r\nНе удалось удалить: a");
  EXPECT_TRUE(longer.Is(FailureKind::Refused));
  EXPECT_EQ(longer.Code(), 7);
}

TEST(Failure, TheRaisingTwinsRaiseAStopAsACancellationAndTheRestAsErrors) {
  EXPECT_THROW(RaiseIfFailed(Failure(L"stop", FailureKind::Stopped)), OperationCancelled);
  for (FailureKind kind : {FailureKind::Error, FailureKind::Package, FailureKind::FileInUse}) {
    try {
      RaiseIfFailed(Failure(L"why", kind));
      ADD_FAILURE() << "nothing was raised";
    } catch (const OperationCancelled&) {
      ADD_FAILURE() << "only a stop is a cancellation";
    } catch (const KovrinError& error) {
      EXPECT_EQ(error.Message(), L"why");
    }
  }
  EXPECT_NO_THROW(RaiseIfFailed(Status()));
  EXPECT_EQ(ValueOrRaise(Expected<int>(5)), 5);
  EXPECT_THROW(ValueOrRaise(Expected<int>(Failure(L"x"))), KovrinError);
}

TEST(Failure, FileStepsReturnTheFailureTheirTwinsWouldRaise) {
  TempDir dir;
  const std::wstring missing = dir / L"none.bin";
  const Expected<BinaryFile> opened = BinaryFile::TryOpenRead(missing);
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.Error().Message().rfind(L"Cannot open file \"" + missing + L"\"", 0), 0u);

  const Expected<bool> empty = TryForceFolder(L"");
  ASSERT_FALSE(empty.Ok());
  EXPECT_EQ(empty.Error().Message(), L"Unable to create directory");
  const Expected<bool> made = TryForceFolder(dir / L"a\\b");
  ASSERT_TRUE(made.Ok());
  EXPECT_TRUE(*made);

  WriteTextFile(dir / L"taken.txt", "x");
  const Expected<std::optional<BinaryFile>> taken = BinaryFile::TryCreateNew(dir / L"taken.txt");
  ASSERT_TRUE(taken);
  EXPECT_FALSE(taken->has_value()) << "a taken name is no failure, and no file";
  const Expected<std::optional<BinaryFile>> nowhere =
      BinaryFile::TryCreateNew(dir / L"no\\such\\folder.txt");
  ASSERT_FALSE(nowhere);
  EXPECT_EQ(nowhere.Error().Message().rfind(L"Cannot create file", 0), 0u);

  const Status saved = ProfileFile().TrySave(dir / L"no such folder\\Uninst.ini");
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.Error().Message().rfind(L"Unable to write to", 0), 0u);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"taken.txt"});
}

// A moved temporary file is the new object's: the old one neither deletes nor
// commits it, and the new one deletes it when it goes uncommitted.
TEST(Failure, AMovedTemporaryFileIsDeletedOnceByItsNewOwner) {
  TempDir dir;
  const std::wstring target = dir / L"Uninst.ini";
  std::wstring path;
  {
    std::optional<TemporaryFile> owner;
    {
      Expected<TemporaryFile> made = TemporaryFile::Make(target);
      ASSERT_TRUE(made);
      path = made->Path();
      owner.emplace(std::move(*made));
    }  // the moved-from object goes first and must not delete the file
    EXPECT_EQ(owner->Path(), path);
    EXPECT_TRUE(FileExists(path));
    ASSERT_TRUE(owner->File().TryWrite(std::string("kept until the owner goes")));
  }
  EXPECT_FALSE(FileExists(path));

  Expected<TemporaryFile> second = TemporaryFile::Make(target);
  ASSERT_TRUE(second);
  TemporaryFile committed(std::move(*second));
  ASSERT_TRUE(committed.File().TryWrite(std::string("whole")));
  ASSERT_TRUE(committed.TryCommit());
  EXPECT_EQ(ReadFileBytes(target), "whole");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"Uninst.ini"});
}
