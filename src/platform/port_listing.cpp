#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/posix_serial.h"

#ifdef STYLOMAT_HAVE_LIBSERIALPORT
#include <libserialport.h>
#endif

namespace stylomat {

bool Natural_Less(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
    const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
    if (da && db) {
      std::size_t ie = i, je = j;
      while (ie < a.size() && std::isdigit(static_cast<unsigned char>(a[ie]))) ++ie;
      while (je < b.size() && std::isdigit(static_cast<unsigned char>(b[je]))) ++je;
      // Compare the numbers by length after leading zeros, then digit by digit.
      std::size_t is = i, js = j;
      while (is + 1 < ie && a[is] == '0') ++is;
      while (js + 1 < je && b[js] == '0') ++js;
      if (ie - is != je - js) return ie - is < je - js;
      const int c = a.compare(is, ie - is, b, js, je - js);
      if (c != 0) return c < 0;
      i = ie;
      j = je;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

std::vector<Os_Serial_Port> List_Serial_Ports() {
  std::vector<Os_Serial_Port> ports;
#ifdef STYLOMAT_HAVE_LIBSERIALPORT
  struct sp_port** list = nullptr;
  if (sp_list_ports(&list) == SP_OK && list) {
    for (int i = 0; list[i]; ++i) {
      Os_Serial_Port p;
      const char* name = sp_get_port_name(list[i]);
      if (!name) continue;
      p.device = name;
      const bool usb = sp_get_port_transport(list[i]) == SP_TRANSPORT_USB;
      p.usb = usb || p.device.find("ttyUSB") != std::string::npos || p.device.find("ttyACM") != std::string::npos;
      std::string text;
      if (usb) {
        const char* maker = sp_get_port_usb_manufacturer(list[i]);
        const char* product = sp_get_port_usb_product(list[i]);
        if (maker && *maker) text = maker;
        if (product && *product) text += (text.empty() ? "" : " ") + std::string(product);
        int vid = 0, pid = 0;
        if (sp_get_port_usb_vid_pid(list[i], &vid, &pid) == SP_OK) {
          char ids[32];
          std::snprintf(ids, sizeof ids, "%04X:%04X", vid & 0xffff, pid & 0xffff);
          text += (text.empty() ? "" : " ") + std::string("(") + ids + ")";
        }
      } else {
        const char* desc = sp_get_port_description(list[i]);
        if (desc && *desc) text = desc;
      }
      p.description = text;
      ports.push_back(std::move(p));
    }
    sp_free_port_list(list);
  }
#endif
  std::stable_sort(ports.begin(), ports.end(), [](const Os_Serial_Port& a, const Os_Serial_Port& b) {
    if (a.usb != b.usb) return a.usb;
    return Natural_Less(a.device, b.device);
  });
  return ports;
}

}  // namespace stylomat
