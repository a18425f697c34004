#include "designer/SingleFilePacker.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <new>
#include <optional>

#include "designer/BlockEncoder.h"
#include "designer/BuildRun.h"
#include "designer/IncompressibleStretches.h"
#include "designer/MovedMembers.h"
#include "designer/ProgramImages.h"
#include "formats/CodeFilter.h"
#include "formats/Payload.h"
#include "formats/SingleFileFormat.h"
#include "support/Crc32.h"
#include "support/Error.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"

namespace {
// A package file as it will be packed: its size when it was scanned, and the
// program images found in it (file offsets).
struct PlannedFile {
  const PackedFile* Source = nullptr;
  uint64_t Size = 0;
  FoundImages Images;
  bool IsProgram() const { return Images.IsProgram(); }
};

std::vector<PlannedFile> PlanFiles(const std::vector<PackedFile>& files, bool filter) {
  std::vector<PlannedFile> planned;
  for (const PackedFile& file : files) {
    PlannedFile plan;
    plan.Source = &file;
    const int64_t size = GetFileSize64(file.SourcePath);
    if (size < 0)
      ThrowCannotOpen(file.SourcePath);
    if (static_cast<uint64_t>(size) > onefile::kMaxFileSize)
      throw KovrinError(L"Файл \"" + file.SourcePath + L"\" слишком велик для упаковки.");
    plan.Size = static_cast<uint64_t>(size);
    if (filter)
      plan.Images = FindProgramImages(file.SourcePath, plan.Size);
    planned.push_back(std::move(plan));
  }
  std::stable_partition(planned.begin(), planned.end(),
                        [](const PlannedFile& file) { return file.IsProgram(); });
  return planned;
}

// Chooses the members that go to the stream's end and codes their table into
// `table`, at which the header then points. Returns the bytes moved.
uint64_t PlanMoves(const std::vector<PlannedFile>& files, onefile::Header& header,
                   std::vector<uint8_t>& table) {
  uint64_t start = 0;    // the file's offset in the files' order
  uint64_t covered = 0;  // where the run before ended
  uint64_t moved = 0;
  for (const PlannedFile& file : files) {
    const std::vector<onefile::FilterRange> runs =
        FindMovedMembers(file.Source->SourcePath, file.Size, file.Source->Parts, file.Images.Images,
                         onefile::kMaxMovedRuns - header.MovedCount);
    for (const onefile::FilterRange& run : runs) {
      uint8_t bytes[onefile::kMaxMovedRunBytes];
      const uint32_t size = onefile::EncodeMovedRun(start + run.Offset - covered, run.Size, bytes);
      table.insert(table.end(), bytes, bytes + size);
      covered = start + run.Offset + run.Size;
      moved += run.Size;
      ++header.MovedCount;
    }
    start += file.Size;
  }
  header.MovedBytes = static_cast<uint32_t>(table.size());
  header.Moved = table.empty() ? nullptr : table.data();
  return moved;
}

// The code sections of the images in stream offsets, each a range of its own:
// the filter starts afresh at each, so that calls to one function of a
// library come out alike in every program that links it. No moved run holds
// an image, so each lies inside one span. Past the header's capacity the
// rest go unfiltered.
void CollectRanges(const std::vector<PlannedFile>& files, onefile::Header& header) {
  onefile::StreamSpans spans(header);
  onefile::Span span;
  for (uint64_t at = 0; spans.Next(span); at += span.Size) {
    for (const onefile::FilterRange& code : files[span.File].Images.Code) {
      if (code.Offset < span.Offset || code.Offset + code.Size > span.Offset + span.Size)
        continue;
      if (header.RangeCount == onefile::kMaxFilterRanges)
        return;
      // A split range is one span of offsets under 2^31; the rest of a larger
      // section stays as it is.
      const uint64_t size = onefile::SplitsOperands(header.Version)
                                ? std::min<uint64_t>(code.Size, onefile::kMaxSplitSpan)
                                : code.Size;
      header.Ranges[header.RangeCount++] = {at + code.Offset - span.Offset, size};
    }
  }
}

// The package files in stream order (the spans of formats' StreamSpans), each
// file checked to have the size it had when it was scanned and, when `sum`,
// each one's CRC-32 taken over the bytes really read, a span at a time.
class PackageReader {
 public:
  PackageReader(const std::vector<PlannedFile>& files, onefile::Header& header, bool sum)
      : files_(files), header_(header), spans_(header), open_(files.size()), sum_(sum) {}

  void Read(uint8_t* buffer, size_t size) {
    while (size > 0) {
      while (left_ == 0) NextSpan();
      const uint32_t want =
          static_cast<uint32_t>(std::min<uint64_t>({size, left_, uint64_t{1} << 30}));
      const uint32_t got = open_[span_.File]->Read(buffer, want);
      if (got == 0)
        throw Changed();
      if (sum_)
        spanCrc_ = Crc32Update(spanCrc_, buffer, got);
      left_ -= got;
      buffer += got;
      size -= got;
      if (left_ == 0)
        EndSpan();
    }
  }

 private:
  void NextSpan() {
    if (!spans_.Next(span_))
      throw KovrinError(L"Упаковка прочитала больше, чем содержит пакет.");
    std::optional<BinaryFile>& file = open_[span_.File];
    if (!file) {
      file = BinaryFile::OpenRead(files_[span_.File].Source->SourcePath);
      if (static_cast<uint64_t>(file->Size()) != files_[span_.File].Size)
        throw Changed();
    }
    if (span_.Size > 0)  // a file's spans meet except around moved runs
      file->Seek(static_cast<int64_t>(span_.Offset));
    left_ = span_.Size;
    spanCrc_ = 0;
    if (left_ == 0)
      EndSpan();
  }
  // The span's CRC-32 joins its file's value as if the bytes after it followed.
  void EndSpan() {
    if (!sum_)
      return;
    onefile::FileRecord& record = header_.Files[span_.File];
    record.Crc ^= Crc32Combine(spanCrc_, 0, record.Size - (span_.Offset + span_.Size));
  }
  KovrinError Changed() const {
    return KovrinError(L"Файл \"" + open_[span_.File]->Path() +
                       L"\" изменился во время упаковки. Повторите сборку.");
  }

  const std::vector<PlannedFile>& files_;
  onefile::Header& header_;
  onefile::StreamSpans spans_;
  onefile::Span span_;
  std::vector<std::optional<BinaryFile>> open_;  // each file opened once
  bool sum_;
  uint64_t left_ = 0;
  uint32_t spanCrc_ = 0;
};

// The stretches that are stored as they are, found in a first pass over the
// stream up to the moved runs, which are one stretch at its end. A file that
// changes before the second pass is reported by that one.
void CollectStored(const std::vector<PlannedFile>& files, onefile::Header& header, uint64_t moved) {
  IncompressibleStretches finder({header.Ranges, header.Ranges + header.RangeCount});
  PackageReader reader(files, header, false);
  std::vector<uint8_t> chunk(1u << 20);
  for (uint64_t left = header.UnpackedSize - moved; left > 0;) {
    const size_t take = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
    reader.Read(chunk.data(), take);
    finder.Add(chunk.data(), take);
    left -= take;
  }
  std::vector<onefile::FilterRange> stored = finder.Finish(onefile::kMaxStoredRanges);
  const uint64_t movedStart = header.UnpackedSize - moved;
  if (moved > 0) {
    if (!stored.empty() && stored.back().Offset + stored.back().Size == movedStart)
      stored.back().Size += moved;
    else if (stored.size() < onefile::kMaxStoredRanges)
      stored.push_back({movedStart, moved});
  }
  std::copy(stored.begin(), stored.end(), header.Stored);
  header.StoredCount = static_cast<uint32_t>(stored.size());
}

// The stream cut into pieces, each filtered where it holds program images, a
// coded one given the last `history` coded bytes before it, which its matches
// may reach (stored bytes are not in the dictionary). The filter may still
// change the last bytes read until the bytes after them are seen (a few for
// the branch filter, a chunk for the operand split), so those are kept and go
// to the next piece.
class BlockSource {
 public:
  BlockSource(PackageReader& reader, const onefile::Header& header, size_t history)
      : reader_(reader),
        scratch_(onefile::SplitsOperands(header.Version) ? onefile::kMaxSplitChunk : 0),
        filter_(header, scratch_.data()),
        open_(onefile::MostOpenCodeBytes(header.Version)),
        total_(header.UnpackedSize),
        history_(history) {}

  // Coded bytes before the next piece that Next puts ahead of a coded one.
  size_t Before() const { return static_cast<size_t>(std::min<uint64_t>(coded_, history_)); }

  // Fills `buffer` (room for Before() + `size` + MostOpenCodeBytes) with the
  // next `size` bytes of the stream, for a `coded` piece after the Before()
  // coded bytes before it.
  void Next(uint8_t* buffer, size_t size, bool coded) {
    const size_t before = coded ? Before() : 0;
    std::copy(kept_.end() - static_cast<ptrdiff_t>(before), kept_.end(), buffer);
    uint8_t* block = buffer + before;
    std::copy(tail_.begin(), tail_.end(), block);
    const size_t have = static_cast<size_t>(std::min<uint64_t>(size + open_, total_ - at_));
    reader_.Read(block + tail_.size(), have - tail_.size());
    filter_.Run(block, have, at_);  // final at least up to `size`: it leaves open_ at most
    tail_.assign(block + size, block + have);
    at_ += size;
    if (!coded)
      return;
    coded_ += size;
    const size_t keep = Before();
    if (at_ < total_)
      kept_.assign(block + size - keep, block + size);
  }

 private:
  PackageReader& reader_;
  std::vector<uint8_t> scratch_;
  onefile::CodeEncoder filter_;
  size_t open_;  // the most bytes the filter leaves open
  uint64_t total_;
  size_t history_;
  std::vector<uint8_t> kept_;  // the last coded bytes before at_, filtered
  uint64_t at_ = 0;            // stream offset of tail_[0]
  uint64_t coded_ = 0;         // coded bytes before at_
  std::vector<uint8_t> tail_;  // read after at_, some already final
};

// Appends the blocks to the program and sums them up.
class StreamWriter {
 public:
  explicit StreamWriter(BinaryFile& target) : target_(target) {}
  void Append(const uint8_t* data, size_t size) {
    target_.Write(data, static_cast<uint32_t>(size));
    crc_ = Crc32Update(crc_, data, size);
    size_ += size;
  }
  uint64_t Size() const { return size_; }
  uint32_t Crc() const { return crc_; }

 private:
  BinaryFile& target_;
  uint64_t size_ = 0;
  uint32_t crc_ = 0;
};

// Names, launcher and count checked before anything is written.
onefile::Header HeaderFor(const SingleFileJob& job) {
  if (job.Files.empty() || job.Files.size() > onefile::kMaxFiles)
    throw KovrinError(L"Пакет для упаковки в один файл должен содержать от 1 до " +
                      std::to_wstring(onefile::kMaxFiles) + L" файлов.");
  for (size_t i = 0; i < job.Files.size(); ++i) {
    const std::wstring& name = job.Files[i].Name;
    if (!onefile::IsPlainFileName(name.c_str(), name.size()))
      throw KovrinError(L"Имя \"" + name +
                        L"\" нельзя записать в установочный файл: нужно простое имя файла "
                        L"без папок и особых знаков.");
    for (size_t j = 0; j < i; ++j)
      if (SameFileName(name, job.Files[j].Name))
        throw KovrinError(L"Имя \"" + name + L"\" встречается в пакете дважды.");
  }
  if (std::none_of(job.Files.begin(), job.Files.end(),
                   [&](const PackedFile& file) { return file.Name == job.LauncherName; }))
    throw KovrinError(L"Программа установки \"" + job.LauncherName + L"\" не входит в пакет.");
  onefile::Header header;
  header.FileCount = static_cast<uint32_t>(job.Files.size());
  return header;
}

void DescribeFiles(const std::vector<PlannedFile>& files, const std::wstring& launcher,
                   onefile::Header& header) {
  for (size_t i = 0; i < files.size(); ++i) {
    const std::wstring& name = files[i].Source->Name;
    onefile::FileRecord& record = header.Files[i];
    std::copy(name.begin(), name.end(), record.Name);
    record.NameLength = static_cast<uint16_t>(name.size());
    record.Size = files[i].Size;
    header.UnpackedSize += files[i].Size;
    if (name == launcher)
      header.LauncherIndex = static_cast<uint32_t>(i);
  }
}

// How many of the bytes before a block its encoder takes in first, so that its
// matches may reach them: half the dictionary. Taking in the whole of it cost
// the thread of the second block a quarter of its time on text (taking in runs
// at 60-80% of the speed of compressing) and packed the corpora under 0.07%
// smaller.
uint64_t HistoryFor(uint32_t dictionary) {
  return dictionary / 2;
}

// Blocks of at most `largest` bytes (1 MiB at least), and an even count of
// them once the package is worth two threads. The encoder of every block but
// the first takes in the history before its block first, which costs about
// 70% of the time of compressing as many bytes: so all blocks but the last are
// larger by that share each, and the last smaller, which evens out the two
// threads' work (the one with the first block skips the pass). The cut depends
// on the sizes alone, never on the thread count, so neither does the output.
uint32_t BlockSizeFor(uint64_t total, uint32_t largest, uint32_t dictionary) {
  constexpr uint64_t kTwoBlocksFrom = 4u << 20;
  constexpr uint64_t kUnit = 64u << 10;
  const uint64_t least = onefile::kMinBlockSize;
  const uint64_t most = std::max(largest, onefile::kMinBlockSize) / kUnit * kUnit;
  uint64_t count = std::max<uint64_t>((total + most - 1) / most, 1);
  if (total >= kTwoBlocksFrom)
    count += count % 2;
  const uint64_t even = (total + count - 1) / count;
  const uint64_t pass = std::min<uint64_t>(HistoryFor(dictionary), even) * 7 / 10;
  uint64_t size = count > 1 ? (total + pass + count - 1) / count : even;
  if ((size + kUnit - 1) / kUnit * kUnit * (count - 1) >= total)
    size = even;  // no room left for the last block: equal ones
  return static_cast<uint32_t>(std::clamp((size + kUnit - 1) / kUnit * kUnit, least, most));
}

[[noreturn]] void ThrowEncodeFailure(SRes result) {
  if (result == SZ_ERROR_MEM)
    throw KovrinError(L"Недостаточно памяти для сжатия установочного файла.");
  throw KovrinError(L"Сжатие установочного файла не удалось (код LZMA " + std::to_wstring(result) +
                    L").");
}

// Keeps up to Threads blocks compressing while the next one is read, and
// writes the pieces in stream order. A block that is done while one before it
// still compresses gives its output up to the queue, so that its thread takes
// the next block; a stored piece is read ahead into memory, up to `readAhead`
// bytes at a time, so that the blocks after it start while the ones before it
// are compressing (a larger one waits for them and goes straight through).
// Reports the share compressed while it waits.
class BlockPipeline {
 public:
  // Buffers have `lookAhead` bytes of room behind a piece.
  BlockPipeline(int threads, const CLzmaEncProps& props, uint64_t total, uint32_t blockSize,
                uint32_t dictionary, uint32_t readAhead, size_t lookAhead, ProgressSink& progress)
      : progress_(progress),
        pump_(progress),
        total_(total),
        heldLimit_(readAhead),
        lookAhead_(lookAhead) {
    run_.Props = props;
    const uint64_t block = std::min<uint64_t>(total, blockSize);
    history_ = total > block ? std::min<uint64_t>(HistoryFor(dictionary), total) : 0;
    const size_t capacity = static_cast<size_t>(block + history_);
    threads = std::clamp(threads, 1, 8);
    try {
      for (int i = 0; i < threads; ++i)
        slots_.push_back(std::make_unique<BlockEncoder>(run_, capacity, lookAhead_));
    } catch (const std::bad_alloc&) {
      ThrowEncodeFailure(SZ_ERROR_MEM);
    }
  }
  size_t History() const { return static_cast<size_t>(history_); }

  // Hands over the block at stream offset `position`, which `fill` puts into
  // the input of the first slot free after the `before` bytes ahead of it.
  template <class Fill>
  void Add(size_t before, size_t size, uint64_t position, StreamWriter& writer, Fill fill) {
    BlockEncoder& slot = FreeSlot(writer);
    fill(slot.Input());
    slot.Start(before, size, position);
    pending_.push_back({&slot});
  }
  // The `size` bytes of a stored piece, which `fill(buffer, n)` puts into a
  // buffer (with the look-ahead's room behind them) a chunk at a time.
  template <class Fill>
  void AddStored(uint64_t size, StreamWriter& writer, Fill fill) {
    if (Hold(size)) {
      Pending piece;
      piece.Held = true;
      piece.Offset = heldUsed_;
      piece.Size = static_cast<size_t>(size);
      pending_.push_back(piece);
      for (size_t at = heldUsed_, end = heldUsed_ + piece.Size; at < end;) {
        const size_t chunk = std::min(end - at, kStoredChunk);
        fill(held_.data() + at, chunk);
        Counted(chunk);
        at += chunk;
      }
      heldUsed_ += piece.Size;
      return;
    }
    Finish(writer);
    stored_.resize(kStoredChunk + lookAhead_);
    while (size > 0) {
      const size_t chunk = static_cast<size_t>(std::min<uint64_t>(size, kStoredChunk));
      fill(stored_.data(), chunk);
      writer.Append(stored_.data(), chunk);
      Counted(chunk);
      size -= chunk;
    }
  }
  // Writes everything still pending, in stream order.
  void Finish(StreamWriter& writer) {
    while (!pending_.empty()) {
      if (pending_.front().Slot)
        Wait(*pending_.front().Slot);
      WriteFirst(writer);
    }
  }

 private:
  // A piece not written yet: a block compressing in `Slot` (or done there), a
  // block's output taken out of its slot, or a stored piece held in held_.
  struct Pending {
    BlockEncoder* Slot = nullptr;
    std::vector<uint8_t> Output;
    bool Held = false;
    size_t Offset = 0;
    size_t Size = 0;
  };

  // A slot whose block is written or taken out; until there is one, writes
  // what is done at the front and takes out the output of the others done.
  BlockEncoder& FreeSlot(StreamWriter& writer) {
    for (;;) {
      for (const std::unique_ptr<BlockEncoder>& slot : slots_)
        if (!slot->Busy())
          return *slot;
      bool progressed = false;
      while (!pending_.empty() && (!pending_.front().Slot || Done(*pending_.front().Slot))) {
        WriteFirst(writer);
        progressed = true;
      }
      for (Pending& piece : pending_)
        if (piece.Slot && Done(*piece.Slot)) {
          TakeOut(piece);
          progressed = true;
        }
      if (!progressed)
        WaitForAny();
    }
  }
  bool Done(BlockEncoder& slot) const {
    return WaitForSingleObject(slot.Thread(), 0) == WAIT_OBJECT_0;
  }
  void Wait(BlockEncoder& slot) {
    while (WaitForSingleObject(slot.Thread(), 10) == WAIT_TIMEOUT) Report();
  }
  void WaitForAny() {
    HANDLE threads[MAXIMUM_WAIT_OBJECTS];
    DWORD count = 0;
    for (const Pending& piece : pending_)
      if (piece.Slot && count < MAXIMUM_WAIT_OBJECTS)
        threads[count++] = piece.Slot->Thread();
    if (count == 0)
      return;
    while (WaitForMultipleObjects(count, threads, FALSE, 10) == WAIT_TIMEOUT) Report();
  }
  // The block's result checked and its output moved into the queue; the slot is free.
  void TakeOut(Pending& piece) {
    BlockEncoder& slot = *piece.Slot;
    Checked(slot.Finish());
    piece.Output.assign(slot.Output(), slot.Output() + slot.OutputSize());
    piece.Slot = nullptr;
  }
  void Checked(SRes result) {
    Report();
    if (run_.Stop || progress_.Cancelled())
      throw OperationCancelled(kBuildCancelledText);
    if (result != SZ_OK)
      ThrowEncodeFailure(result);
  }
  // Writes the first piece; a block's must be done.
  void WriteFirst(StreamWriter& writer) {
    Pending& first = pending_.front();
    if (first.Slot) {
      Checked(first.Slot->Finish());
      writer.Append(first.Slot->Output(), first.Slot->OutputSize());
    } else if (first.Held) {
      writer.Append(held_.data() + first.Offset, first.Size);
    } else {
      writer.Append(first.Output.data(), first.Output.size());
    }
    pending_.pop_front();
    if (std::none_of(pending_.begin(), pending_.end(),
                     [](const Pending& piece) { return piece.Held; }))
      heldUsed_ = 0;  // every held piece is written: the room is free again
  }
  // Whether a stored piece of `size` bytes fits behind the ones held now. The
  // room is taken when it is first needed; without it stored pieces wait.
  bool Hold(uint64_t size) {
    if (slots_.size() < 2 || size > heldLimit_ - heldUsed_)
      return false;
    if (held_.empty()) {
      try {
        held_.resize(heldLimit_ + lookAhead_);
      } catch (const std::bad_alloc&) {
        return false;
      }
    }
    return true;
  }
  void Counted(size_t stored) {
    run_.Compressed += stored;
    Report();
    if (run_.Stop)
      throw OperationCancelled(kBuildCancelledText);
  }
  void Report() {
    bool cancel = false;
    try {
      const uint64_t done = std::min<uint64_t>(run_.Compressed, total_);
      const int share = total_ == 0 ? 100 : static_cast<int>(done * 100 / total_);
      if (share != shown_)
        progress_.SetPosition(shown_ = share);
      pump_.Pump();
      cancel = progress_.Cancelled();
    } catch (...) {
      cancel = true;  // a window that fails while repainting stops the packing too
    }
    if (cancel)
      run_.Stop = true;
  }

  ProgressSink& progress_;
  ThrottledProgress pump_;
  uint64_t total_;
  size_t heldLimit_;
  size_t lookAhead_;
  int shown_ = -1;
  static constexpr size_t kStoredChunk = 1u << 20;
  uint64_t history_ = 0;
  std::vector<uint8_t> stored_;  // a stored piece on its way through
  std::vector<uint8_t> held_;    // stored pieces read ahead
  size_t heldUsed_ = 0;
  std::deque<Pending> pending_;  // in stream order
  BlockRun run_;                 // outlives the slots, whose threads use it
  std::vector<std::unique_ptr<BlockEncoder>> slots_;
};
}  // namespace

CLzmaEncProps EncoderProperties(const LzmaSettings& settings, uint64_t total) {
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
  props.writeEndMark = 1;  // each block's end is found by its mark
  props.numThreads = 1;
  return props;
}

SingleFileResult PackSingleFile(const SingleFileJob& job, ProgressSink& progress) {
  onefile::Header header = HeaderFor(job);
  const std::vector<PlannedFile> files = PlanFiles(job.Files, job.Settings.BranchFilter);
  DescribeFiles(files, job.LauncherName, header);
  std::vector<uint8_t> movedTable;  // the header points into it until it is written
  const uint64_t moved =
      job.Settings.StoreIncompressible ? PlanMoves(files, header, movedTable) : 0;
  CollectRanges(files, header);
  if (job.Settings.StoreIncompressible)
    CollectStored(files, header, moved);
  const uint64_t total = header.UnpackedSize;
  const CLzmaEncProps props = EncoderProperties(job.Settings, total);
  if (!WriteEncoderProperties(props, header.LzmaProps))
    throw KovrinError(L"Недопустимые параметры сжатия LZMA.");
  const uint32_t dictionary = onefile::DictionarySize(header.LzmaProps);
  // Blocks are cut by the bytes they code (formats' PieceAt).
  uint64_t codedTotal = total;
  for (uint32_t i = 0; i < header.StoredCount; ++i) codedTotal -= header.Stored[i].Size;
  const uint32_t blockSize = BlockSizeFor(codedTotal, job.Settings.BlockSize, dictionary);
  header.BlockSize = blockSize;

  BinaryFile stub = BinaryFile::OpenRead(job.StubPath);
  TemporaryFile output(job.OutputPath);
  BinaryFile& file = output.File();
  CopyBuffer buffer;
  CopyChunked(stub, file, stub.Size(), buffer, kLauncherBlock);
  stub.Close();

  // The header's room is known from the names and ranges; its checksums are
  // filled in once the stream is written.
  onefile::Trailer trailer;
  trailer.HeaderOffset = static_cast<uint64_t>(file.Size());
  trailer.HeaderSize = onefile::HeaderBytes(header);
  std::vector<uint8_t> headerBytes(trailer.HeaderSize);
  file.Write(headerBytes.data(), trailer.HeaderSize);

  BlockPipeline pipeline(job.Settings.Threads, props, total, blockSize, dictionary,
                         job.Settings.StoredReadAhead, onefile::MostOpenCodeBytes(header.Version),
                         progress);
  PackageReader reader(files, header, true);
  BlockSource source(reader, header, pipeline.History());
  StreamWriter writer(file);
  progress.SetPosition(0);
  // An empty package is one empty coded piece: its end mark alone.
  uint64_t offset = 0;
  uint64_t coded = 0;
  uint32_t nextStored = 0;
  do {
    const onefile::Piece piece = onefile::PieceAt(header, offset, nextStored);
    if (piece.Stored) {
      pipeline.AddStored(piece.Size, writer,
                         [&](uint8_t* chunk, size_t size) { source.Next(chunk, size, false); });
    } else {
      const size_t size = static_cast<size_t>(piece.Size);
      pipeline.Add(source.Before(), size, coded, writer,
                   [&](uint8_t* input) { source.Next(input, size, true); });
      coded += size;
    }
    offset += piece.Size;
  } while (offset < total);
  pipeline.Finish(writer);
  if (progress.Cancelled())
    throw OperationCancelled(kBuildCancelledText);

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
