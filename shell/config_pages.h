// The kinds of page a configuration sheet can hold. The Telnet sheet shows
// the first eight in this order; another program lists its own first pages
// and the shared ones it keeps (menu commands open the sheet on a kind).
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
  CONFIG_PAGE_COUNT = 8,  // the Telnet sheet's pages
  CONFIG_SERVICE = 8,     // the dial-up entry's name, phone and line
  CONFIG_MODEM = 9,       // the dial-up entry's modem maker
  CONFIG_KIND_COUNT = 10,
};
