#include "serial/serial_link.h"

#include "serial/settings_image_link.h"

namespace stylomat {

void Wait_Until(Session& s, double t) {
  if (t != t) return;  // an undefined moment has passed already
  // Bounded: every pass sleeps until the target, so the clock must reach it.
  for (int guard = 0; guard < 1000 && s.clock.Now() < t; ++guard) s.clock.Sleep_Until(t);
}

void Wait_Tick(Session& s) { Wait_Until(s, s.clock.Now() + Tick_Seconds); }

void Pause_Seconds(Session& s, double seconds) {
  // Window events run between short sleeps so the window stays responsive.
  constexpr double slice = 0.01;
  if (!(seconds > 0)) seconds = 0;  // a negative or undefined length waits not at all
  const double target = s.clock.Now() + seconds;
  while (true) {
    s.Process_Events();
    const double now = s.clock.Now();
    if (now >= target) break;
    s.clock.Sleep_Until(now + slice < target ? now + slice : target);
  }
}

void Flush_Input(Session& s) {
  const int remembered = s.port.InputLen();
  s.port.Set_InputLen(0);
  try {
    (void)s.port.Input();
  } catch (...) {
    s.port.Set_InputLen(remembered);
    throw;
  }
  s.port.Set_InputLen(remembered);
}

void Log_Line(Session& s, std::string_view text) { s.log.Line(text); }

void Log_Debug(Session& s, std::string_view text) {
  if (s.Debug_Mode) s.log.Line(text);
}

void Send_Command(Session& s, std::string_view text, std::string_view label) {
  s.port.Output(text);
  if (s.Debug_Mode) {
    std::string line = "Sent: ";
    line += label;
    s.log.Line(line);
  }
}

std::string Esc_Command(std::string_view letters) {
  std::string text(1, ESC);
  text += letters;
  text += CR;
  return text;
}

std::optional<std::string> Read_Reply(Session& s) {
  s.port.Set_InputLen(0);
  if (s.port.InBufferCount() < 1) return std::nullopt;
  std::string reply = s.port.Input();
  if (s.Debug_Mode) {
    std::string line = "From Tablet: ";
    line += reply;
    s.log.Line(line);
  }
  return reply;
}

void Open_Port(Session& s, const std::string& settings) {
  if (s.port.PortOpen()) s.port.Set_PortOpen(false);
  s.port.Set_Settings(settings);
  s.port.Set_CommPort(s.Port_Number);
  s.port.Set_PortOpen(true);
}

void Close_Port(Session& s) {
  if (s.port.PortOpen()) s.port.Set_PortOpen(false);
}

std::string Compose_Framing(Session& s, int baud, const std::string& parity, int data_bits, int stop_bits) {
  s.Baud_Rate = baud;
  s.Parity_Char = parity;
  s.Data_Bits = data_bits;
  s.Stop_Bits = stop_bits;
  return std::to_string(baud) + "," + parity + "," + std::to_string(data_bits) + "," + std::to_string(stop_bits);
}

void Scan_Ports(Session& s) {
  // Each pass handles one port number and moves on, as the scan always has:
  // 0 -> 1, 1..8 -> next, 9 -> 0 and stop.  At most eleven passes.
  for (int pass = 0; pass < 16; ++pass) {
    s.Refresh_Log_View();
    Close_Port(s);
    const int n = s.Port_Number;
    bool opened = false;
    std::string reason;
    bool present = false;
    try {
      s.port.Set_InputLen(0);
      s.port.Set_Settings("1200,M,7,2");
      s.port.Set_CommPort(n);
      // A port the parallel search has open opened for its search.
      if (n < 1 || n > 8 || !s.Com_Held_By_Search[static_cast<std::size_t>(n)]) {
        s.port.Set_PortOpen(true);
        s.port.Set_PortOpen(false);
      }
      opened = true;
    } catch (const Port_Error& e) {
      opened = false;
      // The reason is kept for the port's icon; a device that is there but
      // cannot be opened keeps its icon, greyed.
      const bool assigned = s.ports.Find(n) != nullptr;
      if (assigned) reason = e.what();
      present = assigned && e.Kind() != Port_Error_Kind::No_Such_Port;
    }
    if (n >= 1 && n <= 8) {
      s.Com_Reason[static_cast<std::size_t>(n)] = reason;
      s.Com_Present[static_cast<std::size_t>(n)] = present;
    }
    if (opened) {
      if (n == 0) {
        s.Port_Number = 1;
        continue;
      }
      if (n >= 1 && n <= 8) {
        s.Com_Available[n] = true;
        s.Facts_Changed();
        Log_Line(s, "Com " + std::to_string(n) + ", Available");
      }
      if (n == 9) {
        s.Port_Number = 0;
        return;
      }
      if (n < 0 || n > 9) return;
      s.Port_Number = n + 1;
      continue;
    }
    if (n >= 1 && n <= 8) {
      s.Com_Available[n] = false;
      s.Facts_Changed();
      s.Port_Number = n + 1;
      continue;
    }
    if (n == 0) {
      s.Port_Number = 1;
      continue;
    }
    if (n == 9) s.Port_Number = 0;
    return;
  }
}

bool Check_Port(Session& s, int com) {
  if (com < Port_Directory::First_Com || com > Port_Directory::Last_Com) return false;
  const std::size_t n = static_cast<std::size_t>(com);
  Serial_Port probe(s.ports, s.clock);
  probe.Set_Trace(s.port.Current_Trace());
  bool available = false;
  std::string reason;
  bool present = false;
  try {
    probe.Set_Settings("1200,M,7,2");
    probe.Set_CommPort(com);
    probe.Set_PortOpen(true);
    probe.Set_PortOpen(false);
    available = true;
  } catch (const Port_Error& e) {
    const bool assigned = s.ports.Find(com) != nullptr;
    if (assigned) reason = e.what();
    present = assigned && e.Kind() != Port_Error_Kind::No_Such_Port;
  }
  const bool changed =
      s.Com_Available[n] != available || s.Com_Reason[n] != reason || s.Com_Present[n] != present;
  if (available && !s.Com_Available[n]) Log_Line(s, "Com " + std::to_string(com) + ", Available");
  s.Com_Available[n] = available;
  s.Com_Reason[n] = reason;
  s.Com_Present[n] = present;
  if (changed) s.Facts_Changed();
  return changed;
}

void Wiggle_Port(Session& s) {
  Close_Port(s);
  if (s.Debug_Mode) {
    s.log.Append("\r");
    Log_Line(s, "Wiggle: ");
  }
  s.Search_Status = 0;
  try {
    s.port.Set_Settings("9600,n,8,2");
    s.port.Set_CommPort(s.Port_Number);
    s.port.Set_PortOpen(true);
    s.port.Set_Handshaking(0);
    s.port.Set_RTSEnable(true);
    s.port.Set_DTREnable(true);
    Log_Debug(s, "Framing: " + s.port.Settings());
    Wait_Tick(s);
    Wait_Tick(s);
    for (int i = 0; i < 5; ++i) {
      s.port.Set_DTREnable(true);
      Wait_Tick(s);
      s.port.Set_DTREnable(false);
      Wait_Tick(s);
    }
    s.port.Set_DTREnable(true);
    Flush_Input(s);
    Wait_Tick(s);
    s.port.Set_RTSEnable(false);
    Wait_Tick(s);
    s.port.Set_RTSEnable(true);
    Wait_Tick(s);

    // A "T" anywhere among the waiting characters is the answer.  The count
    // of characters read is bounded by what was waiting plus what a tablet
    // could send meanwhile.
    s.Search_Status = -1;
    for (int guard = 0; guard < 65536 && s.port.InBufferCount() >= 1; ++guard) {
      s.port.Set_InputLen(1);
      if (s.port.Input() == "T") s.Search_Status = 0;
    }
    if (s.Search_Status != 0) return;

    s.identity.SuperSet_Format = true;
    s.Searched_Port = s.Port_Number;
    s.Facts_Changed();
    // The tablet's settings image, as it answers right after waking.
    Settings_Image_Link link(s, Log_When::Debug_Mode);
    link.Ask_Settings("", "Esc%__S");
    if (auto reply = link.Reply_After_Tick()) s.identity.Settings_Reply = *reply;
    Flush_Input(s);
    (void)s.port.Input();
    Wait_Tick(s);
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
}

void Open_Config_Port(Session& s) {
  Wiggle_Port(s);
  s.Refresh_Log_View();
  if (s.Search_Status == 0) {
    Wait_Tick(s);
    s.Refresh_Log_View();
  }
}

}  // namespace stylomat
