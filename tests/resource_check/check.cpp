// Checks one program's compiled resources from inside a Windows process:
// every icon-bar bitmap (names, sizes, 16 colours), the logo, the icon, and
// each dialog template read back field by field (geometry, font, UTF-16
// texts, control ids and styles), then created for real; the key table entry
// by entry. Prints one line per
// failure and "RESULT: N passed, M failed"; exits non-zero on any failure.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int passed = 0, failed = 0;

void Check(bool ok, const std::string& what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

std::string Narrow(const std::wstring& w) {
  std::string out;
  for (wchar_t c : w) {
    if (c < 0x80) {
      out += char(c);
    } else {
      char buf[12];
      std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(c));
      out += buf;
    }
  }
  return out;
}

struct Item {
  int id;
  WORD classAtom;  // 0x80 button, 0x81 edit, 0x82 static
  std::wstring text;
  short x, y, cx, cy;
  DWORD style;  // bits that must be set
};

struct Dialog {
  const char* name;  // string name, or MAKEINTRESOURCE id
  int numericId;     // 0 when named
  DWORD style;       // bits that must be set
  short x, y, cx, cy;
  std::wstring caption;
  WORD pointSize;
  std::wstring face;
  std::vector<Item> items;  // geometry of -1 means "not fixed"
};

// Reads a DLGTEMPLATE (not the EX form) with every read bounded by the
// resource's size.
struct Reader {
  const BYTE* data;
  size_t size, pos = 0;
  bool ok = true;
  WORD Word() {
    if (pos + 2 > size) {
      ok = false;
      return 0;
    }
    WORD v = WORD(data[pos] | (data[pos + 1] << 8));
    pos += 2;
    return v;
  }
  DWORD Dword() {
    DWORD lo = Word();
    return lo | (DWORD(Word()) << 16);
  }
  std::wstring Text() {
    std::wstring s;
    for (WORD c; ok && (c = Word()) != 0;) s += wchar_t(c);
    return s;
  }
  // sz_Or_Ord: 0 = none, 0xFFFF + ordinal, or a string.
  std::wstring TextOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    if (pos + 2 > size) {
      ok = false;
      return L"";
    }
    if (data[pos] == 0xFF && data[pos + 1] == 0xFF) {
      Word();
      *ordinal = Word();
      return L"";
    }
    return Text();
  }
  void AlignDword() { pos = (pos + 3) & ~size_t(3); }
};

void CheckDialog(HINSTANCE instance, const Dialog& want) {
  const std::string label = want.numericId ? "dialog " + std::to_string(want.numericId) : want.name;
  LPCSTR name = want.numericId ? MAKEINTRESOURCEA(want.numericId) : want.name;
  HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  Check(found != nullptr, label + ": present");
  if (!found) return;
  HGLOBAL loaded = LoadResource(instance, found);
  Reader r{static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(instance, found)};
  const DWORD style = r.Dword();
  r.Dword();  // extended style
  const WORD count = r.Word();
  const short x = short(r.Word()), y = short(r.Word()), cx = short(r.Word()), cy = short(r.Word());
  WORD ordinal;
  r.TextOrOrdinal(&ordinal);  // menu
  r.TextOrOrdinal(&ordinal);  // class
  const std::wstring caption = r.Text();
  WORD pointSize = 0;
  std::wstring face;
  if (style & DS_SETFONT) {
    pointSize = r.Word();
    face = r.Text();
  }
  Check((style & want.style) == want.style, label + ": style bits");
  Check(x == want.x && y == want.y && cx == want.cx && cy == want.cy,
        label + ": at " + std::to_string(x) + "," + std::to_string(y) + " size " + std::to_string(cx) +
            "x" + std::to_string(cy));
  Check(caption == want.caption, label + ": caption '" + Narrow(caption) + "'");
  Check(pointSize == want.pointSize && face == want.face,
        label + ": font " + std::to_string(pointSize) + " '" + Narrow(face) + "'");
  Check(count == want.items.size(), label + ": " + std::to_string(count) + " controls");
  for (size_t i = 0; i < count && r.ok; ++i) {
    r.AlignDword();
    const DWORD itemStyle = r.Dword();
    r.Dword();
    const short ix = short(r.Word()), iy = short(r.Word()), icx = short(r.Word()), icy = short(r.Word());
    const short id = short(r.Word());
    WORD classAtom, textOrdinal;
    r.TextOrOrdinal(&classAtom);
    const std::wstring text = r.TextOrOrdinal(&textOrdinal);
    const WORD extra = r.Word();
    r.pos += extra;
    if (i >= want.items.size()) continue;
    const Item& w = want.items[i];
    const std::string itemLabel = label + " control " + std::to_string(i) + " '" + Narrow(text) + "'";
    Check(id == w.id && classAtom == w.classAtom, itemLabel + ": id " + std::to_string(id) + " class " +
                                                      std::to_string(classAtom));
    if (classAtom != 0x82 || !(itemStyle & SS_ICON)) Check(text == w.text, itemLabel + ": text");
    if (w.x >= 0)
      Check(ix == w.x && iy == w.y && icx == w.cx && icy == w.cy,
            itemLabel + ": at " + std::to_string(ix) + "," + std::to_string(iy) + " size " +
                std::to_string(icx) + "x" + std::to_string(icy));
    Check((itemStyle & w.style) == w.style, itemLabel + ": style bits");
  }
  Check(r.ok, label + ": template ends inside the resource");
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void CheckDialogCreates(HINSTANCE instance, HWND parent, const Dialog& d) {
  LPCSTR name = d.numericId ? MAKEINTRESOURCEA(d.numericId) : d.name;
  HWND dialog = CreateDialogParamA(instance, name, (d.style & WS_CHILD) ? parent : nullptr, QuietProc, 0);
  Check(dialog != nullptr, std::string(d.numericId ? "child template" : d.name) + ": dialog is created");
  if (dialog) DestroyWindow(dialog);
}

void CheckBitmaps(HINSTANCE instance, const std::vector<std::string>& bases) {
  for (const std::string& base : bases)
    for (const char* variant : {"", "9", "8", "X"})
      for (const char* state : {"Up", "Dn", "In"}) {
        const std::string name = base + variant + state;
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        Check(bitmap != nullptr, name + ": loads");
        if (!bitmap) continue;
        DIBSECTION dib{};
        GetObjectA(bitmap, sizeof dib, &dib);
        const LONG width = base == "Gap" ? 16 : base == "Space" ? 2000 : 32;
        Check(dib.dsBm.bmWidth == width && dib.dsBm.bmHeight == 20 && dib.dsBmih.biBitCount == 4,
              name + ": " + std::to_string(dib.dsBm.bmWidth) + "x" + std::to_string(dib.dsBm.bmHeight) + ", " +
                  std::to_string(dib.dsBmih.biBitCount) + " bits");
        DeleteObject(bitmap);
        // The icon bar loads by name through LoadBitmapA, in any letter case.
        std::string lower = name;
        for (char& c : lower) c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
        HBITMAP ddb = LoadBitmapA(instance, lower.c_str());
        Check(ddb != nullptr, name + ": LoadBitmapA finds '" + lower + "'");
        if (ddb) DeleteObject(ddb);
      }
}

void CheckLogoAndIcon(HINSTANCE instance, LONG logoWidth, LONG logoHeight) {
  HBITMAP logo = static_cast<HBITMAP>(LoadImageA(instance, "IBMP_1", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  Check(logo != nullptr, "IBMP_1: loads");
  if (logo) {
    DIBSECTION dib{};
    GetObjectA(logo, sizeof dib, &dib);
    Check(dib.dsBm.bmWidth == logoWidth && dib.dsBm.bmHeight == logoHeight &&
              (dib.dsBmih.biBitCount == 4 || dib.dsBmih.biBitCount == 8),
          "IBMP_1: " + std::to_string(dib.dsBm.bmWidth) + "x" + std::to_string(dib.dsBm.bmHeight));
    DeleteObject(logo);
  }
  for (int size : {32, 16}) {
    HICON icon = static_cast<HICON>(LoadImageA(instance, "ICON_1", IMAGE_ICON, size, size, 0));
    Check(icon != nullptr, "ICON_1 at " + std::to_string(size));
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
      BITMAP colour{};
      GetObjectA(info.hbmColor, sizeof colour, &colour);
      Check(colour.bmWidth == size, "ICON_1 image of " + std::to_string(size) + " pixels");
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
    }
    if (icon) DestroyIcon(icon);
  }
}

constexpr DWORD kAboutStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr short kAny = -1;

Item Text(const std::wstring& text, WORD cls = 0x82) { return {-1, cls, text, kAny, kAny, kAny, kAny, WS_VISIBLE}; }
Item IconItem() { return {-1, 0x82, L"", kAny, kAny, kAny, kAny, SS_ICON}; }
Item CloseButton(const std::wstring& text) { return {1, 0x80, text, kAny, kAny, kAny, kAny, BS_DEFPUSHBUTTON}; }

// One key of the table "KEYS": modifiers (FCONTROL, FSHIFT), key, command.
struct Key {
  BYTE modifiers;
  WORD key;
  WORD command;
};

// The table loads and holds exactly these keys, each a virtual key.
void CheckKeys(HINSTANCE instance, const std::vector<Key>& want) {
  HACCEL table = LoadAcceleratorsA(instance, "KEYS");
  Check(table != nullptr, "KEYS: loads");
  if (table == nullptr) return;
  std::vector<ACCEL> got(64);
  got.resize(static_cast<size_t>(CopyAcceleratorTableA(table, got.data(), static_cast<int>(got.size()))));
  Check(got.size() == want.size(), "KEYS: " + std::to_string(got.size()) + " keys");
  for (const Key& k : want) {
    bool found = false;
    for (const ACCEL& a : got) {
      found |= (a.fVirt & ~FNOINVERT) == (FVIRTKEY | k.modifiers) && a.key == k.key && a.cmd == k.command;
    }
    Check(found, "KEYS: key " + std::to_string(k.key) + " with " + std::to_string(k.modifiers) + " sends " +
                     std::to_string(k.command));
  }
  DestroyAcceleratorTable(table);
}

#ifdef CHECK_KESTRO98
// Open, Save Image, Copy, Undo and Redo, Zoom In and Out (both plus and minus
// keys, the keypad's with and without Ctrl), Help.
const std::vector<Key> kKeys = {
    {FCONTROL, 'O', 101}, {FCONTROL, 'S', 106}, {FCONTROL, 'C', 105},
    {FCONTROL, 'Z', 131}, {FCONTROL, 'Y', 132},
    {FCONTROL, VK_OEM_PLUS, 103}, {FCONTROL | FSHIFT, VK_OEM_PLUS, 103},
    {FCONTROL, VK_ADD, 103}, {0, VK_ADD, 103},
    {FCONTROL, VK_OEM_MINUS, 102}, {FCONTROL, VK_SUBTRACT, 102}, {0, VK_SUBTRACT, 102},
    {0, VK_F1, 108},
};
const std::vector<std::string> kBases = {"Gap", "Open", "ZmOut", "ZmIn", "PopupW", "Copy",
                                         "SaveAs", "About", "Help", "Exit", "Space"};
const LONG kLogoWidth = 253, kLogoHeight = 221;
std::vector<Dialog> Dialogs() {
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_CONTROL | DS_SETFONT | DS_3DLOOK;
  const DWORD field = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  return {
      {"ABOUT_DLG", 0, kAboutStyle, 50, 50, 184, 126, L"About", 8, L"Helv",
       {Text(L"Kestro (V 1.10)"),
        Text(L"Palette color in a bitmap can be changed, and the modified bitmap can be saved.  It is "
             L"recommended to use a monitor with a high/full color screen.\n\nReport bugs and suggestions "
             L"would be appreciated."),
        IconItem(), CloseButton(L"Close")}},
      {"ABOUT_DLG_J", 0, kAboutStyle, 50, 50, 158, 126, L"御案内", 9, L"ＭＳ Ｐゴシック",
       {Text(L"ＢＭＰケストロ (V 1.10)"),
        Text(L"ビットマップ中のパレットカラーを変更し、変更後のビットマップを保存できます. "
             L"モニター画面はハイカラー/フルカラー設定をリコメンドします.\n\nバグ・レポート、コメントを歓迎します."),
        IconItem(), CloseButton(L"閉じる")}},
      {nullptr, 128, child, 0, 0, 400, 20, L"", 8, L"MS Sans Serif",
       {{-1, 0x82, L"Image information:", 7, 5, 69, 8, WS_VISIBLE},
        {127, 0x81, L"", 77, 3, 193, 12, field}}},
      {nullptr, 129, child, 0, 0, 400, 20, L"", 9, L"ＭＳ Ｐゴシック",
       {{-1, 0x82, L"イメージ情報:", 7, 5, 68, 8, WS_VISIBLE},
        {127, 0x81, L"", 77, 3, 200, 12, field}}},
  };
}
#else
// Open, Randomize PLT, Copy PLT, Save Image, Help; Undo and Redo of the order.
const std::vector<Key> kKeys = {
    {FCONTROL, 'O', 101}, {FCONTROL, 'R', 102}, {FCONTROL, 'C', 103}, {FCONTROL, 'S', 104}, {0, VK_F1, 106},
    {FCONTROL, 'Z', 150}, {FCONTROL, 'Y', 151},
};
const std::vector<std::string> kBases = {"Gap", "Open", "PalRd", "Copy", "SaveAs",
                                         "About", "Help", "Exit", "Space"};
const LONG kLogoWidth = 306, kLogoHeight = 232;
std::vector<Dialog> Dialogs() {
  const DWORD wait = WS_POPUP | WS_VISIBLE | WS_BORDER | DS_SETFONT;
  const DWORD radio = WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON;
  return {
      {"ABOUT_DLG", 0, kAboutStyle, 90, 50, 186, 120, L"About", 8, L"Helv",
       {Text(L"Mirtav"), Text(L"V 1.02"),
        Text(L"Color palette of a 16/256 color/grayscale bitmap file is arranged in random order.\n\n"
             L"Report bugs and suggestions would be appreciated."),
        IconItem(), CloseButton(L"Close")}},
      {"ABOUT_DLG_J", 0, kAboutStyle, 90, 50, 144, 120, L"御案内", 9, L"ＭＳ Ｐゴシック",
       {Text(L"ミルタヴ"), Text(L"V 1.02"),
        Text(L"16色/256色（color/grayscale）ビットマップのカラーパレットの色順序をランダム順序に変更します.\n\n"
             L"バグ・レポート、コメントを歓迎します."),
        IconItem(), CloseButton(L"閉じる")}},
      {"PLEASEWAIT_DLG", 0, wait, 30, 60, 100, 30, L"", 8, L"Helv",
       {{-1, 0x82, L"Please wait a moment.", 10, 10, 80, 12, SS_CENTER}}},
      {"PLEASEWAIT_DLG_J", 0, wait, 30, 60, 100, 30, L"", 9, L"ＭＳ Ｐゴシック",
       {{-1, 0x82, L"ちょっとお待ちください.", 10, 10, 80, 12, SS_CENTER}}},
      {"SETPARAM_DLG", 0, kAboutStyle, 20, 30, 156, 60, L"Color Palette Window", 8, L"Helv",
       {{-1, 0x80, L"Display of color palette window", 5, 5, 146, 26, BS_GROUPBOX},
        {119, 0x80, L"Yes", 20, 16, 49, 12, radio | WS_GROUP},
        {120, 0x80, L"No", 85, 16, 50, 12, radio},
        {1, 0x80, L"OK", 10, 38, 50, 15, WS_CHILD},
        {2, 0x80, L"Cancel", 96, 38, 50, 15, BS_DEFPUSHBUTTON}}},
      {"SETPARAM_DLG_J", 0, kAboutStyle, 20, 30, 110, 60, L"カラーパレットWindow", 9, L"ＭＳ Ｐゴシック",
       {{-1, 0x80, L"カラーパレットWindow の表示", 5, 5, 100, 26, BS_GROUPBOX},
        {119, 0x80, L"する", 20, 16, 39, 12, radio | WS_GROUP},
        {120, 0x80, L"しない", 62, 16, 39, 12, radio},
        {1, 0x80, L"OK", 5, 38, 40, 15, WS_CHILD},
        {2, 0x80, L"ｷｬﾝｾﾙ", 65, 38, 40, 15, BS_DEFPUSHBUTTON}}},
  };
}
#endif

}  // namespace

// "show NAME [ms]": shows one dialog (or child template 128/129 inside a
// plain window) for that long, so a screenshot can be taken of it.
int Show(HINSTANCE instance, const char* name, DWORD ms) {
  const int id = std::atoi(name);
  LPCSTR resource = id ? MAKEINTRESOURCEA(id) : name;
  HWND parent = nullptr;
  if (id) {
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 640, 60, nullptr,
                             nullptr, instance, nullptr);
  }
  HWND dialog = CreateDialogParamA(instance, resource, parent, QuietProc, 0);
  if (!dialog) return 1;
  ShowWindow(dialog, SW_SHOW);
  const DWORD end = GetTickCount() + ms;
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  }
  return 0;
}

int main(int argc, char** argv) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (argc >= 3 && std::string(argv[1]) == "show")
    return Show(instance, argv[2], argc >= 4 ? DWORD(std::atoi(argv[3])) : 3000);
  CheckBitmaps(instance, kBases);
  // A name that is not a resource must not load: guards against a lookup
  // that accepts anything.
  Check(LoadBitmapA(instance, "OpenZUp") == nullptr, "an unknown bitmap name is not found");
  CheckLogoAndIcon(instance, kLogoWidth, kLogoHeight);
  CheckKeys(instance, kKeys);
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 200, nullptr, nullptr,
                                instance, nullptr);
  for (const Dialog& d : Dialogs()) {
    CheckDialog(instance, d);
    CheckDialogCreates(instance, parent, d);
  }
  DestroyWindow(parent);
  std::printf("RESULT: %d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
