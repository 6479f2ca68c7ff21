#include <type_traits>
#include <variant>

#include "app/zin_form.h"
#include "platform/system.h"

namespace zinnow {
namespace {

using Handler = void (TZinForm::*)(TObject*);
// The field a row makes; its type names the kind of control.
using Field = std::variant<TPanel * TZinForm::*, TLabel * TZinForm::*, TEdit * TZinForm::*,
                           TComboBox * TZinForm::*, TSpinEdit * TZinForm::*, TButton * TZinForm::*,
                           TImage * TZinForm::*>;

struct Row {
  Field field;
  TPanel* TZinForm::*parent;  // null: the window itself
  Bounds bounds;
  const char* text;
  int maxLength;
  bool visible;
  Handler handler;  // OnChange of a text control, OnClick of a button
};

// Creation order, which is also the stacking order within a parent.
const Row kLayout[] = {
    {&TZinForm::Image1, nullptr, {8, 56, 177, 97}, "", 0, false, nullptr},
    {&TZinForm::Panel1, nullptr, {0, 0, 376, 89}, "", 0, true, nullptr},
    {&TZinForm::Label1,
     &TZinForm::Panel1,
     {8, 16, 185, 12},
     "保存ディレクトリ                          ",
     0,
     true,
     nullptr},
    {&TZinForm::Label2,
     &TZinForm::Panel1,
     {8, 40, 289, 12},
     "保存ファイル名                                                     ",
     0,
     true,
     nullptr},
    {&TZinForm::Label3, &TZinForm::Panel1, {264, 38, 23, 12}, ".bmp", 0, true, nullptr},
    {&TZinForm::Label6,
     &TZinForm::Panel1,
     {8, 72, 361, 12},
     "次のファイル名                                                     　　　　　　　　　",
     0,
     true,
     nullptr},
    {&TZinForm::Label4, &TZinForm::Panel1, {96, 71, 33, 12}, "Label4", 0, true, nullptr},
    {&TZinForm::Edit2,
     &TZinForm::Panel1,
     {96, 32, 113, 20},
     "svbmp",
     20,
     true,
     &TZinForm::Edit1Change},
    {&TZinForm::Button1, &TZinForm::Panel1, {352, 8, 17, 20}, "...", 0, true, nullptr},
    {&TZinForm::SpinEdit1,
     &TZinForm::Panel1,
     {303, 32, 65, 21},
     "1",
     5,
     true,
     &TZinForm::SpinEdit1Change},
    {&TZinForm::Edit3,
     &TZinForm::Panel1,
     {212, 32, 45, 20},
     "000",
     5,
     true,
     &TZinForm::Edit3Change},
    {&TZinForm::Edit1, &TZinForm::Panel1, {96, 8, 257, 20}, "", 0, true, &TZinForm::Edit1Change},
};

constexpr Bounds kClientArea = {174, 102, 376, 90};
constexpr unsigned kTimerInterval = 100;

TNotifyEvent Bind(TZinForm& form, Handler handler) {
  if (handler == nullptr) return nullptr;
  return [&form, handler](TObject* sender) { (form.*handler)(sender); };
}

template <typename Control>
void BindEvent(Control& control, TNotifyEvent event) {
  if constexpr (std::is_base_of_v<TTextControl, Control>) {
    control.OnChange = std::move(event);
  } else if constexpr (std::is_base_of_v<TButton, Control>) {
    control.OnClick = std::move(event);
  }
}

void ApplyLayout(TZinForm& form) {
  for (const Row& row : kLayout) {
    TWinControl* parent = row.parent ? static_cast<TWinControl*>(form.*row.parent) : &form;
    const PeerDesign design{ControlKind::Edit, row.bounds, row.text, row.maxLength};
    std::visit(
        [&](auto field) {
          using Control = std::remove_pointer_t<std::remove_reference_t<decltype(form.*field)>>;
          Control& control = form.Make<Control>(parent, design);
          control.SetVisible(row.visible);
          BindEvent(control, Bind(form, row.handler));
          form.*field = &control;
        },
        row.field);
  }
  form.Timer1 = &form.Make<TTimer>(kTimerInterval);
  form.Timer1->OnTimer = Bind(form, &TZinForm::Button2Click);
  form.Timer1->SetEnabled(true);
}

}  // namespace

void TZinForm::FormCreate(TObject* sender) {
  ProgramFolder = ProgramFolderOf(ExecutablePath());
  LoadHistory();
  TargetPath.clear();
  FileNumber = 0;
  Edit1Change(sender);
}

void TZinForm::FormDestroy(TObject*) {
  SaveHistory();
}

TZinForm::TZinForm() : CaptureForm(PeerDesign{ControlKind::Form, kClientArea, kPlainCaption, 0}) {
  ApplyLayout(*this);
}

}  // namespace zinnow
