// How the driver maps a kernel device onto its answers, and the packets it
// makes from event frames: pure functions over device descriptions.
#include "wintab/input_device.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace stylomat {
namespace {

Input_Device_Description Pen_And_Eraser() {
  Input_Device_Description d;
  d.Name = "Test; Pen";
  d.Version = 0x0110;
  d.Node = "/dev/input/event7";
  d.Driver = "usbhid";
  d.Keys = {BTN_TOOL_PEN, BTN_TOOL_RUBBER, BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2};
  d.Abs[ABS_X] = {0, 0, 45720, 4, 0, 200};
  d.Abs[ABS_Y] = {0, 0, 30480, 4, 0, 200};
  d.Abs[ABS_PRESSURE] = {0, 16, 2063, 0, 0, 0};
  return d;
}

TEST(InputMapping, AxesAreAnsweredInCentimetersAsFixedPoint) {
  const Wintab_Axis x = Map_Position_Axis({0, -100, 45720, 0, 0, 200});
  EXPECT_EQ(x.Min, -100);
  EXPECT_EQ(x.Max, 45720);
  EXPECT_EQ(x.Units, TU_CENTIMETERS);
  EXPECT_EQ(x.Resolution, 2000u * 65536u);  // 200 per millimetre
  const Wintab_Axis unknown = Map_Position_Axis({0, 0, 1000, 0, 0, 0});
  EXPECT_EQ(unknown.Units, TU_NONE);
  EXPECT_EQ(unknown.Resolution, 0u);
  EXPECT_EQ(Map_Position_Axis({0, 0, 1, 0, 0, 1000000}).Resolution, 0xFFFFFFFFu);  // saturates
  const Wintab_Axis p = Map_Pressure_Axis({0, 16, 2063, 0, 0, 0});
  EXPECT_EQ(p.Min, 0);
  EXPECT_EQ(p.Max, 2047);
}

TEST(InputMapping, ToolsBecomeCursorsWithTheirButtons) {
  const auto tools = Map_Tools(Pen_And_Eraser());
  ASSERT_EQ(tools.size(), 2u);
  EXPECT_EQ(tools[0].Name, "Pen");
  EXPECT_EQ(tools[0].Buttons, (std::vector<unsigned>{BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2}));
  EXPECT_TRUE(tools[0].Pressure_Button);
  EXPECT_EQ(tools[1].Name, "Eraser");

  Input_Device_Description puck;
  puck.Keys = {BTN_TOOL_LENS, BTN_TOOL_MOUSE, BTN_LEFT, BTN_RIGHT, BTN_0, BTN_9};
  const auto puck_tools = Map_Tools(puck);
  ASSERT_EQ(puck_tools.size(), 2u);
  EXPECT_EQ(puck_tools[0].Name, "Mouse");
  EXPECT_EQ(puck_tools[1].Name, "Lens");
  EXPECT_EQ(puck_tools[1].Buttons, (std::vector<unsigned>{BTN_LEFT, BTN_RIGHT, BTN_0, BTN_9}));
  EXPECT_FALSE(puck_tools[1].Pressure_Button);
  EXPECT_EQ(Button_Mask(puck_tools[1], {BTN_RIGHT, BTN_9}), 0b1010u);

  Input_Device_Description plain;  // names no tool: one pen for its tip
  plain.Keys = {BTN_TOUCH};
  ASSERT_EQ(Map_Tools(plain).size(), 1u);
  EXPECT_EQ(Map_Tools(plain)[0].Name, "Pen");
}

TEST(InputMapping, TheDeviceNameSaysWhichEventDeviceAndDriver) {
  EXPECT_EQ(Device_Name_Text(Pen_And_Eraser()), "Test, Pen;Version 1.10;Format: /dev/input/event7, driver usbhid");
  Input_Device_Description no_xy = Pen_And_Eraser();
  no_xy.Abs.erase(ABS_Y);
  EXPECT_FALSE(Map_Device(no_xy));
}

TEST(InputFrames, EachFrameMakesAPacketAndTheLeaveOneOutOfProximity) {
  const Input_Device_Description d = Pen_And_Eraser();
  const Input_Device_Model m = *Map_Device(d);
  Input_Frame_Builder frames(m, d);
  const auto feed = [&](std::uint16_t type, std::uint16_t code, std::int32_t value) {
    return frames.Feed({0, type, code, value});
  };
  EXPECT_FALSE(feed(EV_KEY, BTN_TOOL_RUBBER, 1));
  feed(EV_ABS, ABS_X, 100);
  feed(EV_KEY, BTN_TOUCH, 1);
  feed(EV_KEY, BTN_STYLUS2, 1);
  feed(EV_ABS, ABS_PRESSURE, 516);
  const auto in = feed(EV_SYN, SYN_REPORT, 0);
  ASSERT_TRUE(in && in->Packet);
  EXPECT_EQ(in->Tool, 1);
  EXPECT_EQ(in->Buttons, 0b101u);
  EXPECT_EQ(in->X, 100);
  EXPECT_EQ(in->Pressure, 500);  // counted from the axis minimum
  EXPECT_FALSE(feed(EV_SYN, SYN_REPORT, 0));  // nothing changed: no packet
  // Lost events: everything up to the next report is dropped.
  feed(EV_SYN, SYN_DROPPED, 0);
  feed(EV_ABS, ABS_X, 999);
  EXPECT_FALSE(feed(EV_SYN, SYN_REPORT, 0));
  feed(EV_KEY, BTN_TOOL_RUBBER, 0);
  const auto out = feed(EV_SYN, SYN_REPORT, 0);
  ASSERT_TRUE(out);
  EXPECT_TRUE(out->Left_Proximity);
  EXPECT_EQ(out->Tool, 1);
  EXPECT_EQ(out->Buttons, 0u);
  EXPECT_FALSE(frames.Release_All());
}

}  // namespace
}  // namespace stylomat
