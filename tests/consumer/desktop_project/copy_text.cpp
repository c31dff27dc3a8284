// Copies its argument to the general pasteboard, says so, and keeps serving
// it until its standard input closes.
#include <cstdio>
#include <iostream>
#include <string>

#include "vantrel/platform/foundation/pasteboard/pasteboard.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  vantrel::PasteboardItem item;
  item.setString(argv[1], vantrel::PasteboardType::string());
  vantrel::Pasteboard& general = vantrel::Pasteboard::general();
  general.clearContents();
  general.writeItems({item});
  std::cout << "copied" << std::endl;
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
