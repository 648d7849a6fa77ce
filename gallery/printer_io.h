// The gallery's printer: a drop point that prints the drawing dropped on it,
// one drawing per job, through the program's Printer. It shows a printer,
// the printer's name in its tip and two buttons, Setup (the page set-up
// dialog) and Abort (cancel the job); while a job runs, the miniature of the
// drawing being printed blinks above the printer, 800 ms shown and 200 ms
// hidden. A job that has not ended after five minutes is given up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gallery/drawing_printout.h"
#include "gallery/gallery_io_point.h"
#include "gallery/printer_client.h"
#include "platform/window/response_table.h"

class Rectangular_Button;
class Shape_Drawing;
class TCommandEnabler;

class Printer_IO : public Gallery_IO_Point, public Printer_Client {
 public:
  using Drawing_Printout = ::Drawing_Printout;
  static constexpr int Setup_Id = 1750;
  static constexpr int Abort_Id = 1751;
  static constexpr UINT Blink_Timer = 2;
  static constexpr uint32_t Shown_Ms = 800;
  static constexpr uint32_t Hidden_Ms = 200;
  static constexpr uint32_t Give_Up_Ms = 300000;
  static constexpr uintptr_t Print_Cursor_Id = 4204;
  static constexpr int Printer_Picture = 12;  // metafile slot

  // rect: in the gallery window's client coordinates.
  Printer_IO(Gallery_Window* gallery, const TRect& rect);
  // A job of this point still under way is cancelled and waited for.
  ~Printer_IO() override;

  void SetupWindow() override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  void EvMouseMove(UINT keys, const TPoint& point) override;
  void EvTimer(UINT timer_id) override;
  bool Find(TEventInfo& info) override;
  bool PreProcessMsg(MSG& msg) override;
  bool IdleAction(long idle_count) override;

  Drawing_Place My_Place() const override;
  void Accept_Drop(const Drawing_Place& source) override;
  void Job_Printing(Printout* printout) override;
  void Job_Ended(Printout* printout) override;

  void Cm_Setup();
  void Cm_Abort();
  void Ce_Setup(TCommandEnabler& enabler);
  void Ce_Abort(TCommandEnabler& enabler);

  // The printer has no default printer (or there is no printer at all).
  static bool Printer_Undefined();
  bool Slot_Holds_Drawing() const;

  // ---- State, readable by tests
  const TRect& Paper_Area() const { return paper_area; }
  const TRect& Printer_Area() const { return printer_area; }
  Rectangular_Button* Setup_Button() const { return setup_button; }
  Rectangular_Button* Abort_Button() const { return abort_button; }
  Drawing_Printout& Current_Printout() { return printout; }
  const Shape_Drawing* Miniature() const { return miniature.get(); }
  bool Shown() const { return shown != 0; }
  bool Busy() const { return busy != 0; }

 private:
  void Make_Tip();
  void Restore_Cursor();
  void Empty_Slot();

  Drawing_Printout printout;
  std::unique_ptr<Shape_Drawing> miniature;
  TRect paper_area;
  TRect printer_area;
  TRect setup_rect;
  TRect abort_rect;
  Rectangular_Button* setup_button = nullptr;
  Rectangular_Button* abort_button = nullptr;
  uint32_t started = 0;
  uint8_t shown = 0;
  uint8_t busy = 0;
  bool shows_undefined = false;  // what the picture and the tip show
  std::string tip;  // what tip_text points at once the window is set up

  static const TResponse_Table<Printer_IO> Table;
};
