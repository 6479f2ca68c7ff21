#include <type_traits>
#include <variant>

#include "app/zin_form.h"

namespace zinnow {
namespace {

using Handler = void (TZinForm::*)(TObject*);
// The field a row makes; its type names the kind of control.
using Field = std::variant<TPanel * TZinForm::*, TLabel * TZinForm::*, TEdit * TZinForm::*,
                           TComboBox * TZinForm::*, TSpinEdit * TZinForm::*, TButton * TZinForm::*,
                           TImage * TZinForm::*>;

struct Row {
  Field field;
  TPanel* TZinForm::*parent = nullptr;  // null: the window itself
  Bounds bounds;
  const char* text = "";
  int maxLength = 0;
  bool visible = true;
  bool underline = false;
  bool fixedText = false;  // the program's own Japanese text
  const char* hint = "";
  int tabOrder = -1;
  Handler handler = nullptr;  // OnChange of a text control, OnClick of a button
};

constexpr auto kPanel = &TZinForm::Panel1;

// The stored layout, in creation order, which is also the stacking order within a parent.
const Row kLayout[] = {
    {.field = &TZinForm::Image1, .bounds = {8, 56, 177, 97}, .visible = false},
    {.field = &TZinForm::Panel1, .bounds = {0, 0, 376, 89}},
    {.field = &TZinForm::Label1,
     .parent = kPanel,
     .bounds = {8, 16, 185, 12},
     .text = "保存ディレクトリ                          ",
     .underline = true,
     .fixedText = true},
    {.field = &TZinForm::Label2,
     .parent = kPanel,
     .bounds = {8, 40, 289, 12},
     .text = "保存ファイル名                                                     ",
     .underline = true,
     .fixedText = true},
    {.field = &TZinForm::Label3, .parent = kPanel, .bounds = {264, 38, 23, 12}, .text = ".bmp"},
    {.field = &TZinForm::Label6,
     .parent = kPanel,
     .bounds = {8, 72, 361, 12},
     .text =
         "次のファイル名                                                     　　　　　　　　　",
     .underline = true,
     .fixedText = true},
    {.field = &TZinForm::Label4, .parent = kPanel, .bounds = {96, 71, 33, 12}, .text = "Label4"},
    {.field = &TZinForm::Edit2,
     .parent = kPanel,
     .bounds = {96, 32, 113, 20},
     .text = "svbmp",
     .maxLength = 20,
     .hint = "保存するファイル名の固定部分を指定します",
     .tabOrder = 0,
     .handler = &TZinForm::Edit1Change},
    {.field = &TZinForm::Button1,
     .parent = kPanel,
     .bounds = {352, 8, 17, 20},
     .text = "...",
     .tabOrder = 1,
     .handler = &TZinForm::Button1Click},
    {.field = &TZinForm::SpinEdit1,
     .parent = kPanel,
     .bounds = {303, 32, 65, 21},
     .text = "1",
     .maxLength = 5,
     .hint = "保存ファイル名の現在の番号です",
     .tabOrder = 2,
     .handler = &TZinForm::SpinEdit1Change},
    {.field = &TZinForm::Edit3,
     .parent = kPanel,
     .bounds = {212, 32, 45, 20},
     .text = "000",
     .maxLength = 5,
     .hint = "ファイル名の数字部分の桁数を指定します",
     .tabOrder = 3,
     .handler = &TZinForm::Edit3Change},
    {.field = &TZinForm::Edit1,
     .parent = kPanel,
     .bounds = {96, 8, 257, 20},
     .tabOrder = 4,
     .handler = &TZinForm::Edit1Change},
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
    PeerDesign design;
    design.bounds = row.bounds;
    design.text = row.text;
    design.maxLength = row.maxLength;
    design.tabOrder = row.tabOrder;
    design.hint = row.hint;
    design.underline = row.underline;
    design.fixedText = row.fixedText;
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

PeerDesign FormDesign() {
  PeerDesign design;
  design.kind = ControlKind::Form;
  design.bounds = kClientArea;
  design.text = kPlainCaption;
  return design;
}

}  // namespace

TZinForm::TZinForm() : CaptureForm(FormDesign()) {
  ApplyLayout(*this);
}

}  // namespace zinnow
