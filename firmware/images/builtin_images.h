#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "firmware/bl3_file_header.h"

// The four firmware images built into the program, generated at build time
// from the update files beside this header. Each module's accessor copies its
// header, sets count to its line count and line to its line at index.

namespace kelvry {

using TImageAccessor = void (*)(int32_t index, TBl3FileHeader& header, int32_t& count, std::string& line);

namespace uFW_Kelvry_V1_88_PF15_PR19_BL3_0 {
void getImageLine(int32_t index, TBl3FileHeader& header, int32_t& count, std::string& line);
}
namespace uFW_Kelvry_V2_92_PF15_PR39_BL3_0 {
void getImageLine(int32_t index, TBl3FileHeader& header, int32_t& count, std::string& line);
}
namespace uFW_Kelvry_V2_92_PF15_PR48_BL3_0 {
void getImageLine(int32_t index, TBl3FileHeader& header, int32_t& count, std::string& line);
}
namespace uFW_Kelvry_V2_92_PF15_PR56_BL3_0 {
void getImageLine(int32_t index, TBl3FileHeader& header, int32_t& count, std::string& line);
}

// Sources 1 to 4, in that order.
inline constexpr std::array<TImageAccessor, 4> kBuiltinImages = {
    &uFW_Kelvry_V1_88_PF15_PR19_BL3_0::getImageLine,
    &uFW_Kelvry_V2_92_PF15_PR39_BL3_0::getImageLine,
    &uFW_Kelvry_V2_92_PF15_PR48_BL3_0::getImageLine,
    &uFW_Kelvry_V2_92_PF15_PR56_BL3_0::getImageLine,
};

}  // namespace kelvry
