#include "frontend/firmware_overview.h"

#include "firmware/identity_names.h"
#include "frontend/job_notifications.h"
#include "frontend/text_format.h"

namespace kelvry {

TOverviewRow overviewColumns() { return {"Firmware", "Version", "Platform", "Print", "Date", "BL"}; }

TOverviewRow overviewRow(const TBl3FileHeader& header) {
  std::string firmware, platform, print;
  getClassName(header.tarvo_class, header.tarvo_print, firmware);
  getPlatformName(header.tarvo_platform, platform);
  getPrintName(header.tarvo_print, print);
  return {firmware,
          format("%d.%.2d", header.tarvo_verH, header.tarvo_verL),
          platform,
          print,
          header.tarvo_date,
          format("%d.%d", header.tarvo_bl, header.tarvo_bl_ver)};
}

std::vector<TOverviewRow> overviewRows(const TFirmwareSources& sources, int32_t selectedSource) {
  std::vector<TOverviewRow> rows;
  TBl3FileHeader header;
  if (selectedSource == 0) {
    sources.getFirmwareHeader(0, header);
    rows.push_back(overviewRow(header));
  }
  for (int32_t source = TFirmwareSources::getImageCount(); source >= 1; --source) {
    sources.getFirmwareHeader(static_cast<uint32_t>(source), header);
    rows.push_back(overviewRow(header));
  }
  return rows;
}

}  // namespace kelvry
