// Build-time generator: turns one update file (eight key=value header lines,
// then Intel HEX lines) into a C++ module holding the image as constant data.
//
//   embed_image <input.upd> <product word> <output dir>
//
// The module is named after the header ("uFW_Kelvry_V2_92_PF15_PR56_BL3_0"),
// and the generator refuses an input whose file name says otherwise, so a
// renamed or edited image cannot slip into the build under a wrong name.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "firmware/image_check.h"

namespace {

[[noreturn]] void fail(const std::string& message) {
  std::cerr << "embed_image: " << message << "\n";
  std::exit(1);
}

std::string stripCr(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) fail("usage: embed_image <input.upd> <product> <output dir>");
  const std::filesystem::path input = argv[1];
  const std::string product = argv[2];
  const std::filesystem::path outDir = argv[3];

  std::ifstream in(input, std::ios::binary);
  if (!in) fail("cannot read " + input.string());

  static const char* const kKeys[] = {"bootloader", "bootloader version", "class", "versionH",
                                      "versionL",   "platform",           "print", "date"};
  std::map<std::string, std::string> header;
  std::string line;
  for (const char* key : kKeys) {
    if (!std::getline(in, line)) fail("header too short in " + input.string());
    line = stripCr(line);
    const auto eq = line.find('=');
    if (eq == std::string::npos || line.substr(0, eq) != key) fail("expected key '" + std::string(key) + "': " + line);
    header[key] = line.substr(eq + 1);
  }
  std::vector<std::string> lines;
  while (std::getline(in, line)) {
    line = stripCr(line);
    if (line.empty() && in.peek() == EOF) break;
    lines.push_back(line);
  }
  if (lines.size() < 2 || lines.back() != ":00000001FF") fail("image must end with :00000001FF");
  // The tool checks a file the same way before it erases a logger.
  if (const auto problem = kelvry::checkImageLines(lines))
    fail(input.filename().string() + ": " + problem->what);

  const int verL = std::stoi(header["versionL"]);
  char minor[8];
  std::snprintf(minor, sizeof minor, "%02d", verL);
  const std::string module = "uFW_" + product + "_V" + header["versionH"] + "_" + minor + "_PF" +
                             header["platform"] + "_PR" + header["print"] + "_BL" +
                             header["bootloader"] + "_" + header["bootloader version"];
  if ("uFW_" + input.stem().string() != module)
    fail("file name " + input.filename().string() + " does not match its header (" + module + ")");

  std::ofstream out(outDir / (module + ".cpp"));
  out << "// Generated from " << input.filename().string() << " by embed_image. Do not edit.\n"
      << "#include <array>\n#include <string_view>\n\n"
      << "#include \"firmware/images/builtin_images.h\"\n\n"
      << "namespace kelvry::" << module << " {\n\nnamespace {\n\n"
      << "constexpr int32_t kLineCount = " << lines.size() - 1 << ";\n\n"
      << "constexpr std::array<std::string_view, " << lines.size() << "> kLines = {\n";
  for (const auto& l : lines) out << "    \"" << l << "\",\n";
  out << "};\n\n}  // namespace\n\n"
      << "void getImageLine(int32_t index, TBl3FileHeader& header, int32_t& count, std::string& line) {\n"
      << "  header.tarvo_class = " << header["class"] << ";\n"
      << "  header.tarvo_verH = " << header["versionH"] << ";\n"
      << "  header.tarvo_verL = " << header["versionL"] << ";\n"
      << "  header.tarvo_platform = " << header["platform"] << ";\n"
      << "  header.tarvo_print = " << header["print"] << ";\n"
      << "  header.tarvo_date = \"" << header["date"] << "\";\n"
      << "  header.tarvo_bl = " << header["bootloader"] << ";\n"
      << "  header.tarvo_bl_ver = " << header["bootloader version"] << ";\n"
      << "  count = kLineCount;\n"
      << "  // An index outside the image gives an empty line rather than a stray read.\n"
      << "  if (index >= 0 && index <= kLineCount) line.assign(kLines[static_cast<size_t>(index)]);\n"
      << "  else line.clear();\n"
      << "}\n\n}  // namespace kelvry::" << module << "\n";
  if (!out) fail("cannot write output");
  std::cout << module << "\n";
  return 0;
}
