#include "app/about_texts.h"

#include "app/startup.h"
#include "core/traffic_log.h"

namespace stylomat {

const std::vector<Supported_List>& Supported_Tablet_Lists() {
  static const std::vector<Supported_List> lists = {
      {"Brand1_Tbl",
       "KORV Mensaro Support:",
       {"Mirolex II (Advanced)", "Mirolex III (Advanced)", "Velliscope V (Advanced)", "Velliscope VI (Advanced)",
        "QX Convenane (Serial)", "QX Scholane (Serial)", "'Colossa' Pallivant (Advanced)", "Quorral III (Advanced)",
        "Dovrane III (Advanced)", "Dovrane IV (Advanced)", "Dovrane VI (Advanced)"}},
      {"Brand2_Tbl",
       "Zeltavision Support:",
       {"Pallivant V (Advanced)", "Pallivant VI (Advanced)", "Pallivant VII (Advanced)", "Corvelline", "Corvelline II",
        "Corvelline III", "Corvelline FX"}},
      {"Brand3_Tbl",
       "Mensaro Support:",
       {"Morvane (Serial)", "Orvanta", "Orvanta Pro", "Belmora", "Belmora Pro", "Velliscope III (Advanced)",
        "Velliscope IV (Advanced)", "Lumivane I (Advanced)", "Lumivane II (Advanced)", "Pupilane", "Zephane"}},
      {"Brand4_Tbl", "KORV Support:", {"Mirolex", "Quorral (Cordless)", "Quorral II", "Dovrane II", "DovraneX"}},
  };
  return lists;
}

std::string Supported_Tablets_Caption() { return "Supported Tablets, PRX Version " + Version_Text(); }

std::string Supported_Tablets_Title() {
  return "This Utility offers Advanced Configuration options for Tablets marked (Advanced).";
}

std::string Wintab_Support_Text() { return std::string("Pentara Versions 7.x") + CR + "Pentara for Citrix"; }

std::string Version_Label_Text() { return "Version " + Version_Text(); }

}  // namespace stylomat
