#include "tools/signsim/DisplayMarkup.h"

#include <cstdio>

#include "tools/signsim/SignColours.h"
#include "tools/signsim/SignDisplay.h"

namespace {

std::string Hex(char c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(c));
  return text;
}

std::string ModeMarkup(char mode, char position) {
  std::string text = "{";
  if (mode == 'a') {
    text += "rotate";
  } else if (mode == 'b') {
    text += "hold";
  } else {
    text += std::string("mode ") + mode;
  }
  switch (position) {
    case ' ':
      break;
    case '"':
      text += " top";
      break;
    case '&':
      text += " bottom";
      break;
    case '0':
      text += " fill";
      break;
    default:
      text += " position " + Hex(position);
  }
  return text + "}";
}

}  // namespace

std::string RenderMarkup(const CSignDisplay& display) {
  if (display.items.empty()) return "{blank}";
  std::string line;
  for (const CDisplayItem& item : display.items) {
    switch (item.kind) {
      case CDisplayItem::Kind::kMode:
        line += ModeMarkup(item.code, item.position);
        break;
      case CDisplayItem::Kind::kColour:
        line += std::string("{") + FindSignColour(item.code)->name + "}";
        break;
      case CDisplayItem::Kind::kSpacing:
        line += item.code == '1' ? "{fixed}" : "{proportional}";
        break;
      case CDisplayItem::Kind::kWideOn:
        line += "{wide}";
        break;
      case CDisplayItem::Kind::kWideOff:
        line += "{/wide}";
        break;
      case CDisplayItem::Kind::kCharacter:
        if (item.text == "{" || item.text == "}") line += item.text;
        line += item.text;
        break;
      case CDisplayItem::Kind::kPlaceholder:
        line += "{char " + Hex(item.code) + "}";
        break;
      case CDisplayItem::Kind::kUnshown:
        line += "{code " + Hex(item.code) + "}";
        break;
      case CDisplayItem::Kind::kNextFile:
        line += "{next}";
        break;
    }
  }
  return line;
}
