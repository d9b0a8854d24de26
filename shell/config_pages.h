// The pages of the configuration sheet, in their order on the sheet.
#pragma once

enum ConfigPage {
  CONFIG_GENERAL = 0,
  CONFIG_TERMINAL = 1,
  CONFIG_PROTOCOLS = 2,
  CONFIG_COLOR = 3,
  CONFIG_FONTS = 4,
  CONFIG_DEFAULT_DIR = 5,
  CONFIG_OPTIONS = 6,
  CONFIG_FIREWALL = 7,
  CONFIG_PAGE_COUNT = 8,
};
