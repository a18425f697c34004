#include "formats/ProjectFile.h"

#include <windows.h>

#include <climits>
#include <map>
#include <optional>
#include <vector>

#include "formats/ProductCode.h"
#include "formats/ProjectValues.h"
#include "support/CodePage.h"
#include "support/Error.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/PathNames.h"
#include "support/Strings.h"

namespace {
namespace key {
const wchar_t kProject[] = L"Project";
const wchar_t kFormat[] = L"Format";

const wchar_t kMain[] = L"Main";
const wchar_t kProgramName[] = L"ProgramName";
const wchar_t kCompanyName[] = L"CompanyName";
const wchar_t kProductVersion[] = L"ProductVersion";
const wchar_t kProductCode[] = L"ProductCode";
const wchar_t kInstallPath[] = L"InstallPath";
const wchar_t kSetupFileName[] = L"SetupFileName";
const wchar_t kOutputFolder[] = L"OutputFolder";

const wchar_t kFiles[] = L"Files";
const wchar_t kCount[] = L"Count";
const wchar_t kFolder[] = L"Folder";
const wchar_t kFile[] = L"File";
const wchar_t kRuleCount[] = L"RuleCount";
const wchar_t kRuleFolder[] = L"RuleFolder";
const wchar_t kRuleExclude[] = L"RuleExclude";
const wchar_t kRuleDestination[] = L"RuleDestination";

const wchar_t kCompression[] = L"Compression";
const wchar_t kUseWinRar[] = L"UseWinRar";
const wchar_t kWinRarPath[] = L"WinRarPath";
const wchar_t kCompressionLevel[] = L"CompressionLevel";
const wchar_t kSortByExtension[] = L"SortByExtension";
const wchar_t kUseBuiltInPacker[] = L"UseBuiltInPacker";

const wchar_t kReadMe[] = L"ReadMe";
const wchar_t kLicense[] = L"License";
const wchar_t kUse[] = L"Use";
const wchar_t kType[] = L"Type";
const wchar_t kFontName[] = L"FontName";
const wchar_t kFontSize[] = L"FontSize";
const wchar_t kFontColor[] = L"FontColor";
const wchar_t kFontStyle[] = L"FontStyle";
const wchar_t kRtfLines[] = L"RtfLines";
const wchar_t kRtf[] = L"Rtf";
const wchar_t kTextLines[] = L"TextLines";
const wchar_t kText[] = L"Text";

const wchar_t kShortcuts[] = L"Shortcuts";
const wchar_t kShortCutName[] = L"ShortCutName";
const wchar_t kShortCutSavePath[] = L"ShortCutSavePath";
const wchar_t kShortCutFileName[] = L"ShortCutFileName";
const wchar_t kShortCutParams[] = L"ShortCutParams";
const wchar_t kShortCutFilePath[] = L"ShortCutFilePath";

const wchar_t kExtended[] = L"Extended";
const wchar_t kUseReboot[] = L"UseReboot";
const wchar_t kAskToReboot[] = L"AskToReboot";
const wchar_t kUseRun[] = L"UseRun";
const wchar_t kRunFileName[] = L"RunFileName";
const wchar_t kUseGoSite[] = L"UseGoSite";
const wchar_t kSiteAddress[] = L"SiteAddress";
const wchar_t kUseUninstall[] = L"UseUninstall";

const wchar_t kSign[] = L"Sign";
const wchar_t kCommand[] = L"Command";

const wchar_t kYes[] = L"Yes";
const wchar_t kNo[] = L"No";
const wchar_t kRtfType[] = L"rtf";
const wchar_t kTxtType[] = L"txt";
const wchar_t kBold[] = L"Bold";
const wchar_t kItalic[] = L"Italic";
const wchar_t kUnderline[] = L"Underline";
const wchar_t kStrikeOut[] = L"StrikeOut";
}  // namespace key

// The order in which the sections are written; each must be present once.
const wchar_t* const kSections[] = {key::kProject,     key::kMain,    key::kFiles,
                                    key::kCompression, key::kReadMe,  key::kLicense,
                                    key::kShortcuts,   key::kExtended};
// Sections that a project without their feature leaves out.
const wchar_t* const kOptionalSections[] = {key::kSign};
const wchar_t* const kShortcutKeys[] = {key::kShortCutName, key::kShortCutSavePath,
                                        key::kShortCutFileName, key::kShortCutParams,
                                        key::kShortCutFilePath};
constexpr size_t kMaxProjectFileSize = size_t{256} << 20;

// RTF is bytes: each line keeps them as the characters U+0000..U+00FF. Lines
// are split at CR LF; a lone CR or LF stays inside its line (escaped).
std::vector<std::wstring> RtfLines(const std::string& rtf) {
  std::vector<std::wstring> lines;
  if (rtf.empty())
    return lines;
  size_t start = 0;
  for (;;) {
    const size_t end = rtf.find("\r\n", start);
    const size_t stop = end == std::string::npos ? rtf.size() : end;
    std::wstring line(stop - start, L'\0');
    for (size_t i = start; i < stop; ++i) line[i - start] = static_cast<unsigned char>(rtf[i]);
    lines.push_back(std::move(line));
    if (end == std::string::npos)
      return lines;
    start = end + 2;
  }
}

std::wstring StyleWords(const TextFont& font) {
  std::wstring words;
  auto add = [&](bool on, const wchar_t* word) {
    if (!on)
      return;
    if (!words.empty())
      words += L' ';
    words += word;
  };
  add(font.Bold, key::kBold);
  add(font.Italic, key::kItalic);
  add(font.Underline, key::kUnderline);
  add(font.StrikeOut, key::kStrikeOut);
  return words;
}

class ProjectWriter {
 public:
  void Section(const wchar_t* name) {
    if (!text_.empty())
      text_ += L"\r\n";
    text_ += L'[';
    text_ += name;
    text_ += L"]\r\n";
  }
  void Value(const wchar_t* name, std::wstring_view value, bool asciiOnly = false) {
    text_ += name;
    text_ += L'=';
    text_ += EncodeProjectValue(value, asciiOnly);
    text_ += L"\r\n";
  }
  void Flag(const wchar_t* name, bool on) { Value(name, on ? key::kYes : key::kNo); }
  void Number(const wchar_t* name, int64_t value) { Value(name, std::to_wstring(value)); }
  const std::wstring& Text() const { return text_; }

 private:
  std::wstring text_;
};

void WriteTextPage(ProjectWriter& out, const wchar_t* section, bool use, TextType type,
                   const std::string& rtf, const std::vector<std::wstring>& lines,
                   const TextFont& font) {
  out.Section(section);
  out.Flag(key::kUse, use);
  out.Value(key::kType, type == TextType::Rtf ? key::kRtfType : key::kTxtType);
  out.Value(key::kFontName, font.Name);
  out.Number(key::kFontSize, font.Size);
  out.Number(key::kFontColor, font.Color);
  out.Value(key::kFontStyle, StyleWords(font));
  const std::vector<std::wstring> rtfLines = RtfLines(rtf);
  out.Number(key::kRtfLines, static_cast<int64_t>(rtfLines.size()));
  for (const std::wstring& line : rtfLines) out.Value(key::kRtf, line, true);
  out.Number(key::kTextLines, static_cast<int64_t>(lines.size()));
  for (const std::wstring& line : lines) out.Value(key::kText, line);
}

// ---------------------------------------------------------------- reading

struct Entry {
  int line = 0;
  std::wstring name;
  std::wstring raw;  // the text after "=", as it stands
};

struct Block {
  int line = 0;
  std::wstring name;
  std::vector<Entry> entries;
};

// Raises errors that name the file and the line.
class Reporter {
 public:
  explicit Reporter(const std::wstring& projectPath) : name_(FileNamePart(projectPath)) {}
  [[noreturn]] void Fail(int line, const std::wstring& what) const {
    Raise(KovrinError(name_ + L", строка " + std::to_wstring(line) + L": " + what));
  }
  const std::wstring& Name() const { return name_; }

 private:
  std::wstring name_;
};

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
  return text;
}

// The lines of the file as sections of entries. Reading stops at the first
// line that is not one; its problem is kept, so that a newer format can be
// reported first.
struct ParsedLines {
  std::vector<Block> blocks;
  int lastLine = 0;
  int errorLine = 0;
  std::wstring error;
};

ParsedLines SplitLines(std::string_view bytes) {
  ParsedLines parsed;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
    bytes.remove_prefix(3);
  size_t start = 0;
  int number = 0;
  std::wstring line;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos)
      end = bytes.size();
    std::string_view piece = bytes.substr(start, end - start);
    start = end + 1;
    if (!piece.empty() && piece.back() == '\r')
      piece.remove_suffix(1);
    parsed.lastLine = ++number;
    auto fail = [&](const std::wstring& what) {
      parsed.errorLine = number;
      parsed.error = what;
    };
    if (!FromUtf8(piece, line)) {
      fail(L"строка не в кодировке UTF-8");
      return parsed;
    }
    const std::wstring_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == L';')
      continue;
    if (trimmed.front() == L'[') {
      if (trimmed.back() != L']' || Trim(trimmed.substr(1, trimmed.size() - 2)).empty()) {
        fail(L"строка раздела — это имя в квадратных скобках, например [Main]");
        return parsed;
      }
      parsed.blocks.push_back(
          Block{number, std::wstring(Trim(trimmed.substr(1, trimmed.size() - 2))), {}});
      continue;
    }
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos || Trim(std::wstring_view(line).substr(0, equals)).empty()) {
      fail(L"ожидалась строка вида Ключ=Значение");
      return parsed;
    }
    if (parsed.blocks.empty()) {
      fail(L"строка Ключ=Значение стоит до первого раздела");
      return parsed;
    }
    parsed.blocks.back().entries.push_back(
        Entry{number, std::wstring(Trim(std::wstring_view(line).substr(0, equals))),
              line.substr(equals + 1)});
  }
  return parsed;
}

std::optional<int64_t> WholeNumber(std::wstring_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == L'-';
  if (negative)
    ++i;
  if (i >= text.size() || text.size() - i > 10)
    return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9')
      return std::nullopt;
    value = value * 10 + (text[i] - L'0');
  }
  return negative ? -value : value;
}

// The keys of one section: single keys at most once each, wherever they stand;
// list keys in the order they stand; nothing else.
class SectionReader {
 public:
  SectionReader(const Block& block, const Reporter& reporter,
                std::initializer_list<const wchar_t*> singleKeys,
                std::initializer_list<const wchar_t*> listKeys = {})
      : block_(block), reporter_(reporter) {
    for (const Entry& entry : block.entries) {
      const wchar_t* known = Known(entry.name, singleKeys);
      if (known) {
        auto [at, added] = singles_.try_emplace(known, &entry);
        if (!added)
          Fail(entry, L"ключ " + entry.name + L" повторяется в разделе [" + block.name +
                          L"] (впервые в строке " + std::to_wstring(at->second->line) + L")");
      } else if ((known = Known(entry.name, listKeys))) {
        list_.push_back(ListEntry{known, &entry});
      } else {
        Fail(entry, L"неизвестный ключ " + entry.name + L" в разделе [" + block.name + L"]");
      }
    }
  }

  struct ListEntry {
    const wchar_t* name;  // the key's own spelling
    const Entry* entry;
  };
  const std::vector<ListEntry>& List() const { return list_; }

  const Entry& Single(const wchar_t* name) const {
    auto found = singles_.find(name);
    if (found == singles_.end())
      reporter_.Fail(block_.line, L"в разделе [" + block_.name + L"] нет ключа " + name);
    return *found->second;
  }
  // Every value but a line of the two texts is one line of the setup script,
  // where a line break or another control character would change its meaning.
  std::wstring Value(const Entry& entry, bool singleLine = true) const {
    std::wstring problem;
    std::optional<std::wstring> value = DecodeProjectValue(entry.raw, problem);
    if (!value)
      Fail(entry, problem);
    if (singleLine) {
      const size_t at = ControlCharacterAt(*value);
      if (at != std::wstring::npos)
        Fail(entry, L"в значении " + entry.name + L" управляющий знак " +
                        CharacterCode((*value)[at]) + L": это значение — одна строка");
    }
    return *value;
  }
  bool Has(const wchar_t* name) const { return singles_.count(name) != 0; }
  std::wstring Text(const wchar_t* name) const { return Value(Single(name)); }
  bool Flag(const wchar_t* name) const {
    const Entry& entry = Single(name);
    const std::wstring value = Value(entry);
    if (EqualNoCase(value, key::kYes))
      return true;
    if (EqualNoCase(value, key::kNo))
      return false;
    Fail(entry,
         L"значение " + std::wstring(name) + L" должно быть Yes или No, а не \"" + value + L"\"");
  }
  int32_t Number(const wchar_t* name, int64_t low = INT32_MIN, int64_t high = INT32_MAX) const {
    const Entry& entry = Single(name);
    const std::wstring value = Value(entry);
    const std::optional<int64_t> number = WholeNumber(value);
    if (!number)
      Fail(entry, L"значение " + std::wstring(name) + L" должно быть целым числом, а не \"" +
                      value + L"\"");
    if (*number < low || *number > high)
      Fail(entry, L"значение " + std::wstring(name) + L" должно быть от " + std::to_wstring(low) +
                      L" до " + std::to_wstring(high) + L", а не " + value);
    return static_cast<int32_t>(*number);
  }
  // A count against the list entries it announces.
  void CheckCount(const wchar_t* countName, int64_t counted, const wchar_t* what) const {
    const int32_t claimed = Number(countName, 0);
    if (claimed != counted)
      Fail(Single(countName), std::wstring(countName) + L"=" + std::to_wstring(claimed) +
                                  L", а в разделе [" + block_.name + L"] " + what + L": " +
                                  std::to_wstring(counted) + L" (файл мог быть обрезан)");
  }
  [[noreturn]] void Fail(const Entry& entry, const std::wstring& what) const {
    reporter_.Fail(entry.line, what);
  }
  const Block& Section() const { return block_; }

 private:
  static const wchar_t* Known(const std::wstring& name,
                              std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* known : names)
      if (EqualNoCase(name, known))
        return known;
    return nullptr;
  }

  const Block& block_;
  const Reporter& reporter_;
  std::map<std::wstring, const Entry*> singles_;
  std::vector<ListEntry> list_;
};

void ReadMain(const SectionReader& in, SetupProject& project) {
  project.ProgramName = in.Text(key::kProgramName);
  project.CompanyName = in.Text(key::kCompanyName);
  project.ProductVersion = in.Text(key::kProductVersion);
  if (in.Has(key::kProductCode)) {
    project.ProductCode = in.Text(key::kProductCode);
    if (!IsProductCode(project.ProductCode))
      in.Fail(in.Single(key::kProductCode),
              L"значение ProductCode должно быть GUID вида {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
  }
  project.InstallPath = in.Text(key::kInstallPath);
  project.SetupFileName = in.Text(key::kSetupFileName);
  project.OutputFolder = in.Text(key::kOutputFolder);
}

// A rule's exclusions and destination follow its RuleFolder line.
void ReadRulePart(const SectionReader& in, const SectionReader::ListEntry& item, std::wstring value,
                  SetupProject& project) {
  if (project.FolderRules.empty())
    in.Fail(*item.entry, std::wstring(L"перед строкой ") + item.name + L" нужна строка RuleFolder");
  FolderRule& rule = project.FolderRules.back();
  if (item.name == key::kRuleExclude) {
    if (value.empty())
      in.Fail(*item.entry, L"пустой шаблон RuleExclude");
    rule.Excludes.push_back(std::move(value));
    return;
  }
  if (!rule.Destination.empty())
    in.Fail(*item.entry, L"у правила папки может быть только одна строка RuleDestination");
  rule.Destination = std::move(value);
}

void ReadFiles(const SectionReader& in, const std::wstring& projectFolder, SetupProject& project) {
  std::optional<std::wstring> folder;
  for (const SectionReader::ListEntry& item : in.List()) {
    std::wstring value = in.Value(*item.entry);
    if (item.name == key::kFolder) {
      folder = ResolvedSourceFolder(value, projectFolder);
      continue;
    }
    if (item.name == key::kRuleFolder) {
      if (value.empty())
        in.Fail(*item.entry, L"в строке RuleFolder не указана папка");
      project.FolderRules.push_back(FolderRule{ResolvedSourceFolder(value, projectFolder), {}, {}});
      continue;
    }
    if (item.name == key::kRuleExclude || item.name == key::kRuleDestination) {
      ReadRulePart(in, item, std::move(value), project);
      continue;
    }
    if (!folder)
      in.Fail(*item.entry, L"перед строкой File нужна строка Folder");
    project.Files.push_back(FileEntry{std::move(value), *folder, 0});
  }
  in.CheckCount(key::kCount, static_cast<int64_t>(project.Files.size()), L"строк File");
  if (in.Has(key::kRuleCount) || !project.FolderRules.empty())
    in.CheckCount(key::kRuleCount, static_cast<int64_t>(project.FolderRules.size()),
                  L"строк RuleFolder");
}

void ReadCompression(const SectionReader& in, SetupProject& project) {
  project.UseWinRar = in.Flag(key::kUseWinRar);
  project.WinRarPath = in.Text(key::kWinRarPath);
  project.CompressionLevel = in.Number(key::kCompressionLevel, 0, 5);
  project.SortByExtension = in.Flag(key::kSortByExtension);
  project.UseBuiltInPacker = in.Flag(key::kUseBuiltInPacker);
}

void ReadStyle(const SectionReader& in, TextFont& font) {
  const Entry& entry = in.Single(key::kFontStyle);
  const std::wstring words = in.Value(entry);
  size_t start = 0;
  while (start < words.size()) {
    size_t end = words.find(L' ', start);
    if (end == std::wstring::npos)
      end = words.size();
    const std::wstring word = words.substr(start, end - start);
    start = end + 1;
    if (word.empty())
      continue;
    if (EqualNoCase(word, key::kBold))
      font.Bold = true;
    else if (EqualNoCase(word, key::kItalic))
      font.Italic = true;
    else if (EqualNoCase(word, key::kUnderline))
      font.Underline = true;
    else if (EqualNoCase(word, key::kStrikeOut))
      font.StrikeOut = true;
    else
      in.Fail(entry,
              L"в FontStyle допустимы Bold, Italic, Underline и StrikeOut, а не \"" + word + L"\"");
  }
}

void ReadTextPage(const SectionReader& in, bool& use, TextType& type, std::string& rtf,
                  std::vector<std::wstring>& lines, TextFont& font) {
  use = in.Flag(key::kUse);
  const Entry& typeEntry = in.Single(key::kType);
  const std::wstring typeName = in.Value(typeEntry);
  if (EqualNoCase(typeName, key::kRtfType))
    type = TextType::Rtf;
  else if (EqualNoCase(typeName, key::kTxtType))
    type = TextType::Txt;
  else
    in.Fail(typeEntry, L"значение Type должно быть rtf или txt, а не \"" + typeName + L"\"");
  font.Name = in.Text(key::kFontName);
  font.Size = in.Number(key::kFontSize);
  font.Color = in.Number(key::kFontColor);
  ReadStyle(in, font);

  int64_t rtfLines = 0;
  for (const SectionReader::ListEntry& item : in.List()) {
    const std::wstring value = in.Value(*item.entry, false);
    if (item.name == key::kText) {
      lines.push_back(value);
      continue;
    }
    if (rtfLines++ > 0)
      rtf += "\r\n";
    for (wchar_t c : value) {
      if (c > 0xff)
        in.Fail(*item.entry, L"строка Rtf хранит байты: их пишут как \\xHH, а не буквами");
      rtf += static_cast<char>(c);
    }
  }
  in.CheckCount(key::kRtfLines, rtfLines, L"строк Rtf");
  in.CheckCount(key::kTextLines, static_cast<int64_t>(lines.size()), L"строк Text");
}

void ReadShortcuts(const SectionReader& in, SetupProject& project) {
  size_t next = 0;  // the key the current shortcut needs next
  const Entry* last = nullptr;
  for (const SectionReader::ListEntry& item : in.List()) {
    last = item.entry;
    if (item.name != kShortcutKeys[next])
      in.Fail(*item.entry, std::wstring(L"ожидался ключ ") + kShortcutKeys[next] + L", а стоит " +
                               item.entry->name);
    std::wstring value = in.Value(*item.entry);
    if (next == 0)
      project.Shortcuts.emplace_back();
    ShortcutEntry& shortcut = project.Shortcuts.back();
    std::wstring* fields[] = {&shortcut.ShortCutName, &shortcut.ShortCutSavePath,
                              &shortcut.ShortCutFileName, &shortcut.ShortCutParams,
                              &shortcut.ShortCutFilePath};
    *fields[next] = std::move(value);
    next = (next + 1) % std::size(kShortcutKeys);
  }
  if (next != 0)
    in.Fail(*last,
            std::wstring(L"у ярлыка нет ключа ") + kShortcutKeys[next] + L" и ключей после него");
  in.CheckCount(key::kCount, static_cast<int64_t>(project.Shortcuts.size()), L"ярлыков");
}

void ReadExtended(const SectionReader& in, SetupProject& project) {
  project.UseReboot = in.Flag(key::kUseReboot);
  project.AskToReboot = in.Flag(key::kAskToReboot);
  project.UseRun = in.Flag(key::kUseRun);
  project.RunFileName = in.Text(key::kRunFileName);
  project.UseGoSite = in.Flag(key::kUseGoSite);
  project.SiteAddress = in.Text(key::kSiteAddress);
  project.UseUninstall = in.Flag(key::kUseUninstall);
}

// The format comes first: a newer file is refused as such, whatever else it holds.
void CheckFormat(const ParsedLines& parsed, const Reporter& reporter) {
  if (parsed.blocks.empty() || !EqualNoCase(parsed.blocks.front().name, key::kProject)) {
    if (!parsed.error.empty() && parsed.blocks.empty())
      reporter.Fail(parsed.errorLine, parsed.error);
    reporter.Fail(parsed.blocks.empty() ? std::max(parsed.lastLine, 1) : parsed.blocks[0].line,
                  L"это не проект Kovrin: файл должен начинаться с [Project] и Format=");
  }
  const Block& project = parsed.blocks.front();
  const Entry* format = nullptr;
  for (const Entry& entry : project.entries)
    if (EqualNoCase(entry.name, key::kFormat) && !format)
      format = &entry;
  if (!format) {
    if (!parsed.error.empty())
      reporter.Fail(parsed.errorLine, parsed.error);
    reporter.Fail(project.line, L"в разделе [Project] нет ключа Format");
  }
  std::wstring problem;
  const std::optional<std::wstring> text = DecodeProjectValue(format->raw, problem);
  const std::optional<int64_t> number = text ? WholeNumber(*text) : std::nullopt;
  if (!number || *number < 1)
    reporter.Fail(format->line, L"значение Format должно быть целым числом от 1");
  if (*number > kProjectFormat)
    Raise(KovrinError(reporter.Name() + L" сохранён более новой версией Kovrin (формат " +
                      std::to_wstring(*number) + L"); эта версия читает формат " +
                      std::to_wstring(kProjectFormat) + L"."));
}
}  // namespace

std::string ProjectFileBytes(const SetupProject& project, const std::wstring& projectPath) {
  const std::wstring projectFolder = ProjectFolderOf(projectPath);
  ProjectWriter out;
  out.Section(key::kProject);
  out.Number(key::kFormat, kProjectFormat);

  out.Section(key::kMain);
  out.Value(key::kProgramName, project.ProgramName);
  out.Value(key::kCompanyName, project.CompanyName);
  out.Value(key::kProductVersion, project.ProductVersion);
  if (!project.ProductCode.empty())  // a project without one keeps the bytes it had
    out.Value(key::kProductCode, project.ProductCode);
  out.Value(key::kInstallPath, project.InstallPath);
  out.Value(key::kSetupFileName, project.SetupFileName);
  out.Value(key::kOutputFolder, project.OutputFolder);

  out.Section(key::kFiles);
  out.Number(key::kCount, static_cast<int64_t>(std::count_if(
                              project.Files.begin(), project.Files.end(),
                              [](const FileEntry& file) { return !file.FromRule(); })));
  std::optional<std::wstring> folder;  // a Folder line only where it changes
  for (const FileEntry& file : project.Files) {
    if (file.FromRule())
      continue;  // the rule is kept instead
    std::wstring stored = StoredSourceFolder(file.LocalFolder, projectFolder);
    if (folder != stored) {
      out.Value(key::kFolder, stored);
      folder = std::move(stored);
    }
    out.Value(key::kFile, file.RelativeName);
  }
  if (!project.FolderRules.empty())
    out.Number(key::kRuleCount, static_cast<int64_t>(project.FolderRules.size()));
  for (const FolderRule& rule : project.FolderRules) {
    out.Value(key::kRuleFolder, StoredSourceFolder(rule.SourceFolder, projectFolder));
    for (const std::wstring& pattern : rule.Excludes) out.Value(key::kRuleExclude, pattern);
    if (!rule.Destination.empty())
      out.Value(key::kRuleDestination, rule.Destination);
  }

  out.Section(key::kCompression);
  out.Flag(key::kUseWinRar, project.UseWinRar);
  out.Value(key::kWinRarPath, project.WinRarPath);
  out.Number(key::kCompressionLevel, project.CompressionLevel);
  out.Flag(key::kSortByExtension, project.SortByExtension);
  out.Flag(key::kUseBuiltInPacker, project.UseBuiltInPacker);

  WriteTextPage(out, key::kReadMe, project.UseReadMe, project.ReadMeType, project.ReadMeRtf,
                project.ReadMeText, project.ReadMeFont);
  WriteTextPage(out, key::kLicense, project.UseLicense, project.LicenseType, project.LicenseRtf,
                project.LicenseText, project.LicenseFont);

  out.Section(key::kShortcuts);
  out.Number(key::kCount, static_cast<int64_t>(project.Shortcuts.size()));
  for (const ShortcutEntry& shortcut : project.Shortcuts) {
    out.Value(key::kShortCutName, shortcut.ShortCutName);
    out.Value(key::kShortCutSavePath, shortcut.ShortCutSavePath);
    out.Value(key::kShortCutFileName, shortcut.ShortCutFileName);
    out.Value(key::kShortCutParams, shortcut.ShortCutParams);
    out.Value(key::kShortCutFilePath, shortcut.ShortCutFilePath);
  }

  out.Section(key::kExtended);
  out.Flag(key::kUseReboot, project.UseReboot);
  out.Flag(key::kAskToReboot, project.AskToReboot);
  out.Flag(key::kUseRun, project.UseRun);
  out.Value(key::kRunFileName, project.RunFileName);
  out.Flag(key::kUseGoSite, project.UseGoSite);
  out.Value(key::kSiteAddress, project.SiteAddress);
  out.Flag(key::kUseUninstall, project.UseUninstall);

  if (!project.SignCommand.empty()) {
    out.Section(key::kSign);
    out.Value(key::kCommand, project.SignCommand);
  }
  return ToUtf8(out.Text());
}

SetupProject ParseProjectFile(std::string_view bytes, const std::wstring& projectPath) {
  const Reporter reporter(projectPath);
  const ParsedLines parsed = SplitLines(bytes);
  CheckFormat(parsed, reporter);
  if (!parsed.error.empty())
    reporter.Fail(parsed.errorLine, parsed.error);

  std::map<std::wstring, const Block*> sections;
  for (const Block& block : parsed.blocks) {
    const wchar_t* known = nullptr;
    for (const wchar_t* name : kSections)
      if (EqualNoCase(block.name, name))
        known = name;
    for (const wchar_t* name : kOptionalSections)
      if (EqualNoCase(block.name, name))
        known = name;
    if (!known)
      reporter.Fail(block.line, L"неизвестный раздел [" + block.name + L"]");
    auto [at, added] = sections.try_emplace(known, &block);
    if (!added)
      reporter.Fail(block.line, L"раздел [" + block.name + L"] повторяется (впервые в строке " +
                                    std::to_wstring(at->second->line) + L")");
  }
  for (const wchar_t* name : kSections)
    if (!sections.count(name))
      reporter.Fail(parsed.lastLine + 1,
                    std::wstring(L"нет раздела [") + name + L"] (файл мог быть обрезан)");
  auto section = [&](const wchar_t* name) -> const Block& { return *sections.at(name); };

  SetupProject project;
  SectionReader(section(key::kProject), reporter, {key::kFormat});
  ReadMain(
      SectionReader(section(key::kMain), reporter,
                    {key::kProgramName, key::kCompanyName, key::kProductVersion, key::kProductCode,
                     key::kInstallPath, key::kSetupFileName, key::kOutputFolder}),
      project);
  ReadFiles(SectionReader(section(key::kFiles), reporter, {key::kCount, key::kRuleCount},
                          {key::kFolder, key::kFile, key::kRuleFolder, key::kRuleExclude,
                           key::kRuleDestination}),
            ProjectFolderOf(projectPath), project);
  ReadCompression(SectionReader(section(key::kCompression), reporter,
                                {key::kUseWinRar, key::kWinRarPath, key::kCompressionLevel,
                                 key::kSortByExtension, key::kUseBuiltInPacker}),
                  project);
  auto textPage = [&](const wchar_t* name) {
    return SectionReader(section(name), reporter,
                         {key::kUse, key::kType, key::kFontName, key::kFontSize, key::kFontColor,
                          key::kFontStyle, key::kRtfLines, key::kTextLines},
                         {key::kRtf, key::kText});
  };
  ReadTextPage(textPage(key::kReadMe), project.UseReadMe, project.ReadMeType, project.ReadMeRtf,
               project.ReadMeText, project.ReadMeFont);
  ReadTextPage(textPage(key::kLicense), project.UseLicense, project.LicenseType, project.LicenseRtf,
               project.LicenseText, project.LicenseFont);
  ReadShortcuts(SectionReader(section(key::kShortcuts), reporter, {key::kCount},
                              {key::kShortCutName, key::kShortCutSavePath, key::kShortCutFileName,
                               key::kShortCutParams, key::kShortCutFilePath}),
                project);
  ReadExtended(SectionReader(section(key::kExtended), reporter,
                             {key::kUseReboot, key::kAskToReboot, key::kUseRun, key::kRunFileName,
                              key::kUseGoSite, key::kSiteAddress, key::kUseUninstall}),
               project);
  if (sections.count(key::kSign))
    project.SignCommand =
        SectionReader(section(key::kSign), reporter, {key::kCommand}).Text(key::kCommand);
  return project;
}

SetupProject LoadProjectFile(const std::wstring& path) {
  const std::wstring full = FullPathName(path);
  const int64_t size = GetFileSize64(full);
  if (size > static_cast<int64_t>(kMaxProjectFileSize))
    Raise(KovrinError(L"Файл \"" + full + L"\" слишком велик для проекта Kovrin."));
  return ParseProjectFile(ReadWholeFile(full), full);
}

void SaveProjectFile(const SetupProject& project, const std::wstring& path) {
  const std::wstring full = FullPathName(path);
  ReplaceFileBytes(full, ProjectFileBytes(project, full));
}
