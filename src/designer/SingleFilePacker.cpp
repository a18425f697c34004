#include "designer/SingleFilePacker.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>

#include "LzmaEnc.h"
#include "designer/BuildRun.h"
#include "formats/Payload.h"
#include "formats/SingleFileFormat.h"
#include "support/Crc32.h"
#include "support/Error.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"

namespace {
void* LzmaAlloc(void*, size_t size) {
  return std::malloc(size);
}
void LzmaFree(void*, void* address) {
  std::free(address);
}
ISzAlloc kLzmaAllocator = {LzmaAlloc, LzmaFree};

struct EncoderDeleter {
  void operator()(void* encoder) const {
    LzmaEnc_Destroy(encoder, &kLzmaAllocator, &kLzmaAllocator);
  }
};
using Encoder = std::unique_ptr<void, EncoderDeleter>;

// The package files one after another, as the encoder pulls them. Each file's
// size is taken when it is opened, and its CRC-32 over the bytes really read.
// No exception may cross the C encoder: a failure is kept and raised after it.
class PackageReader : public ISeqInStream {
 public:
  PackageReader(const std::vector<PackedFile>& files, onefile::Header& header)
      : files_(files), header_(header) {
    Read = &PackageReader::ReadThunk;
  }
  std::exception_ptr Error() const { return error_; }

 private:
  static SRes ReadThunk(void* self, void* buffer, size_t* size) {
    return static_cast<PackageReader*>(self)->Fill(static_cast<uint8_t*>(buffer), size);
  }

  SRes Fill(uint8_t* buffer, size_t* size) {
    try {
      size_t given = 0;
      while (given < *size) {
        if (remaining_ == 0 && !OpenNext())
          break;
        const uint32_t want = static_cast<uint32_t>(
            std::min<uint64_t>({*size - given, remaining_, uint64_t{1} << 30}));
        const uint32_t got = current_->Read(buffer + given, want);
        if (got == 0)
          throw KovrinError(L"Файл \"" + current_->Path() +
                            L"\" стал короче во время упаковки. Повторите сборку.");
        onefile::FileRecord& record = header_.Files[index_];
        record.Crc = Crc32Update(record.Crc, buffer + given, got);
        remaining_ -= got;
        given += got;
      }
      *size = given;
      return SZ_OK;
    } catch (...) {
      error_ = std::current_exception();
      *size = 0;
      return SZ_ERROR_READ;
    }
  }

  // Opens the next file that has bytes; false after the last one.
  bool OpenNext() {
    while (next_ < files_.size()) {
      index_ = next_++;
      current_.reset();
      current_ = BinaryFile::OpenRead(files_[index_].SourcePath);
      const int64_t size = current_->Size();
      if (static_cast<uint64_t>(size) > onefile::kMaxFileSize)
        throw KovrinError(L"Файл \"" + current_->Path() + L"\" слишком велик для упаковки.");
      header_.Files[index_].Size = static_cast<uint64_t>(size);
      header_.UnpackedSize += static_cast<uint64_t>(size);
      remaining_ = static_cast<uint64_t>(size);
      if (remaining_ > 0)
        return true;
    }
    return false;
  }

  const std::vector<PackedFile>& files_;
  onefile::Header& header_;
  size_t next_ = 0;
  size_t index_ = 0;
  std::optional<BinaryFile> current_;
  uint64_t remaining_ = 0;
  std::exception_ptr error_;
};

// Appends the encoder's output to the program and sums it up.
class StreamWriter : public ISeqOutStream {
 public:
  explicit StreamWriter(BinaryFile& target) : target_(target) { Write = &StreamWriter::WriteThunk; }
  uint64_t Size() const { return size_; }
  uint32_t Crc() const { return crc_; }
  std::exception_ptr Error() const { return error_; }

 private:
  static size_t WriteThunk(void* self, const void* data, size_t size) {
    return static_cast<StreamWriter*>(self)->Append(data, size);
  }
  size_t Append(const void* data, size_t size) {
    try {
      target_.Write(data, static_cast<uint32_t>(size));  // the encoder writes 64 KB at most
      crc_ = Crc32Update(crc_, data, size);
      size_ += size;
      return size;
    } catch (...) {
      error_ = std::current_exception();
      return 0;
    }
  }

  BinaryFile& target_;
  uint64_t size_ = 0;
  uint32_t crc_ = 0;
  std::exception_ptr error_;
};

// Share of the input compressed, message pumping on a clock, and the cancel.
class EncodeProgress : public ICompressProgress {
 public:
  EncodeProgress(ProgressSink& sink, uint64_t total) : sink_(sink), pump_(sink), total_(total) {
    Progress = &EncodeProgress::ProgressThunk;
  }
  bool Cancelled() const { return cancelled_; }

 private:
  static SRes ProgressThunk(void* self, UInt64 inSize, UInt64 /*outSize*/) {
    return static_cast<EncodeProgress*>(self)->Report(inSize);
  }
  SRes Report(uint64_t done) {
    try {
      const int share =
          total_ == 0 ? 100 : static_cast<int>(std::min<uint64_t>(done, total_) * 100 / total_);
      if (share != shown_)
        sink_.SetPosition(shown_ = share);
      pump_.Pump();
      cancelled_ = sink_.Cancelled();
    } catch (...) {
      cancelled_ = true;  // a window that fails while repainting stops the packing too
    }
    return cancelled_ ? SZ_ERROR_PROGRESS : SZ_OK;
  }

  ProgressSink& sink_;
  ThrottledProgress pump_;
  uint64_t total_;
  int shown_ = -1;
  bool cancelled_ = false;
};

uint64_t TotalSourceBytes(const std::vector<PackedFile>& files) {
  uint64_t total = 0;
  for (const PackedFile& file : files)
    total += std::max<int64_t>(GetFileSize64(file.SourcePath), 0);
  return total;
}

// Names, launcher and count checked before anything is written.
onefile::Header HeaderFor(const SingleFileJob& job) {
  if (job.Files.empty() || job.Files.size() > onefile::kMaxFiles)
    throw KovrinError(L"Пакет для упаковки в один файл должен содержать от 1 до " +
                      std::to_wstring(onefile::kMaxFiles) + L" файлов.");
  onefile::Header header;
  header.FileCount = static_cast<uint32_t>(job.Files.size());
  bool launcherFound = false;
  for (size_t i = 0; i < job.Files.size(); ++i) {
    const std::wstring& name = job.Files[i].Name;
    if (!onefile::IsPlainFileName(name.c_str(), name.size()))
      throw KovrinError(L"Имя \"" + name +
                        L"\" нельзя записать в установочный файл: нужно простое имя файла "
                        L"без папок и особых знаков.");
    onefile::FileRecord& record = header.Files[i];
    std::copy(name.begin(), name.end(), record.Name);
    record.NameLength = static_cast<uint16_t>(name.size());
    for (size_t j = 0; j < i; ++j)
      if (SameFileName(name, job.Files[j].Name))
        throw KovrinError(L"Имя \"" + name + L"\" встречается в пакете дважды.");
    if (name == job.LauncherName) {
      header.LauncherIndex = static_cast<uint32_t>(i);
      launcherFound = true;
    }
  }
  if (!launcherFound)
    throw KovrinError(L"Программа установки \"" + job.LauncherName + L"\" не входит в пакет.");
  return header;
}

void SetEncoderProperties(void* encoder, const LzmaSettings& settings, uint64_t total) {
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = settings.Level;
  props.dictSize = settings.MaxDictionarySize;
  // The encoder shrinks the dictionary to the input it is told to expect.
  props.reduceSize = static_cast<UInt32>(std::min<uint64_t>(total, 0xFFFFFFFFu));
  props.lc = settings.LiteralContextBits;
  props.lp = settings.LiteralPositionBits;
  props.pb = settings.PositionBits;
  props.fb = settings.FastBytes;
  props.mc = settings.MatchCycles;
  props.btMode = settings.BinaryTree ? 1 : 0;
  props.writeEndMark = 1;  // the reader checks that the stream ends exactly where the files do
  props.numThreads = 1;
  if (LzmaEnc_SetProps(encoder, &props) != SZ_OK)
    throw KovrinError(L"Недопустимые параметры сжатия LZMA.");
}

[[noreturn]] void ThrowEncodeFailure(SRes result) {
  if (result == SZ_ERROR_MEM)
    throw KovrinError(L"Недостаточно памяти для сжатия установочного файла.");
  throw KovrinError(L"Сжатие установочного файла не удалось (код LZMA " + std::to_wstring(result) +
                    L").");
}
}  // namespace

SingleFileResult PackSingleFile(const SingleFileJob& job, ProgressSink& progress) {
  onefile::Header header = HeaderFor(job);
  const uint64_t expected = TotalSourceBytes(job.Files);

  BinaryFile stub = BinaryFile::OpenRead(job.StubPath);
  TemporaryFile output(job.OutputPath);
  BinaryFile& file = output.File();
  CopyBuffer buffer;
  CopyChunked(stub, file, stub.Size(), buffer, kLauncherBlock);
  stub.Close();

  // The header's room is known from the names; its sizes and checksums are
  // filled in once the stream is written.
  onefile::Trailer trailer;
  trailer.HeaderOffset = static_cast<uint64_t>(file.Size());
  trailer.HeaderSize = onefile::HeaderBytes(header);
  std::vector<uint8_t> headerBytes(trailer.HeaderSize);
  file.Write(headerBytes.data(), trailer.HeaderSize);

  Encoder encoder(LzmaEnc_Create(&kLzmaAllocator));
  if (!encoder)
    ThrowEncodeFailure(SZ_ERROR_MEM);
  SetEncoderProperties(encoder.get(), job.Settings, expected);
  SizeT propsSize = onefile::kLzmaPropsSize;
  LzmaEnc_WriteProperties(encoder.get(), header.LzmaProps, &propsSize);

  PackageReader reader(job.Files, header);
  StreamWriter writer(file);
  EncodeProgress encodeProgress(progress, expected);
  progress.SetPosition(0);
  const SRes result = LzmaEnc_Encode(encoder.get(), &writer, &reader, &encodeProgress,
                                     &kLzmaAllocator, &kLzmaAllocator);
  encoder.reset();
  if (reader.Error())
    std::rethrow_exception(reader.Error());
  if (writer.Error())
    std::rethrow_exception(writer.Error());
  // The encoder asks after each block but not after the last one: a request
  // made meanwhile still keeps the earlier program.
  if (encodeProgress.Cancelled() || progress.Cancelled())
    throw OperationCancelled(kBuildCancelledText);
  if (result != SZ_OK)
    ThrowEncodeFailure(result);

  header.StreamSize = writer.Size();
  header.StreamCrc = writer.Crc();
  onefile::WriteHeader(header, headerBytes.data(), trailer.HeaderSize);
  trailer.HeaderCrc = Crc32(headerBytes.data(), trailer.HeaderSize);
  uint8_t trailerBytes[onefile::kTrailerSize];
  onefile::WriteTrailer(trailer, trailerBytes);
  file.Write(trailerBytes, onefile::kTrailerSize);
  file.Seek(static_cast<int64_t>(trailer.HeaderOffset));
  file.Write(headerBytes.data(), trailer.HeaderSize);

  SingleFileResult done;
  done.UnpackedSize = header.UnpackedSize;
  done.StreamSize = header.StreamSize;
  done.OutputSize = onefile::StreamOffset(trailer) + header.StreamSize + onefile::kTrailerSize;
  output.Commit();
  progress.SetPosition(100);
  return done;
}
