// The input line: a one-line editor on row 2 behind a 27-column prompt.
#include "ui/inputline.h"

#include <algorithm>
#include <array>

#include "editor/charmap.h"
#include "editor/codepage.h"
#include "editor/keyreading.h"
#include "editor/keys.h"
#include "editor/linestore.h"
#include "editor/services.h"
#include "editor/words.h"
#include "ui/render.h"

namespace lumo {

namespace {

constexpr int Row = 2;
constexpr uint8_t TextAttr = 0x5A;
constexpr uint8_t BlankAttr = 0x07;
constexpr uint8_t HintAttr = 0x1C;

// Key values the input line acts on (folded, as the key bytes hold them).

const char* ModePrompt(int mode)
{
    switch (mode) {
    case InputSearch: return "      Enter search string: ";
    case InputReplacement: return " Enter replacement string: ";
    case InputMacroWord: return "           Word for macro: ";
    default: return nullptr;
    }
}

// Alt+punctuation: the scan code and the character without / with Shift.
struct AltPunctuation {
    uint8_t scan;
    char plain;
    char shifted;
};
constexpr std::array<AltPunctuation, 7> AltPunctuationKeys = {{
    {0x1A, '[', '{'}, {0x1B, ']', '}'}, {0x27, ';', ':'}, {0x28, '\'', '"'},
    {0x33, ',', '<'}, {0x34, '.', '>'}, {0x35, '/', '?'},
}};

std::string CutAtDot(std::string word)
{
    size_t dot = word.find('.');
    if (dot != std::string::npos) word.resize(dot);
    return word;
}

// The running state of one input line.
class Field {
public:
    explicit Field(Editor& ed) : ed_(ed) { store_.assign(MaxText, ' '); }

    void Load(const std::string& s)
    {
        std::string t = s.substr(0, MaxText);
        std::copy(t.begin(), t.end(), store_.begin());
        length_ = static_cast<int>(t.size());
    }
    std::string Text() const { return store_.substr(0, length_); }
    bool touched = false;

    // Remembers the prompt cells (columns 1..27), so that a message shown
    // meanwhile (starting a recording) does not leave the field without it.
    void KeepPrompt()
    {
        for (int c = 1; c < InputFieldColumn && c <= ed_.con.ScreenColumns; ++c)
            prompt_[c] = ed_.con.Cell(c, Row);
    }
    void RestorePrompt()
    {
        for (int c = 1; c < InputFieldColumn && c <= ed_.con.ScreenColumns; ++c)
            ed_.con.Cell(c, Row) = prompt_[c];
    }

    // Step 3: the field drawn afresh, the cursor at its first column.
    void Redisplay()
    {
        cursor_ = 0;
        Draw();
    }

    void Draw()
    {
        Console& con = ed_.con;
        int last = con.ScreenColumns - 1;
        // Strings longer than the field (a long path) scroll so that the
        // cursor stays on screen.
        int offset = std::max(0, cursor_ - (con.ScreenColumns - InputFieldColumn));
        for (int c = InputFieldColumn; c <= last; ++c) {
            int i = offset + c - InputFieldColumn;
            if (i < length_) PutCell(ed_, c, Row, static_cast<uint8_t>(store_[i]), TextAttr);
            else PutCell(ed_, c, Row, ' ', BlankAttr);
        }
        // What is typed here is the text's bytes (a find text, a
        // replacement): shown as the text shows them.
        if (uint8_t* mapped = con.MappedRow(Row))
            for (int c = InputFieldColumn; c <= last; ++c) {
                int i = offset + c - InputFieldColumn;
                mapped[c - 1] = i < length_ && static_cast<uint8_t>(store_[i]) >= 0x80;
            }
        con.PlaceCursor(InputFieldColumn + cursor_ - offset - 1, Row - 1);
        con.FlushScreen(false);
    }

    void Insert(uint8_t c)
    {
        if (!touched && cursor_ == 0) {
            length_ = 0;
            for (int col = InputFieldColumn; col <= ed_.con.ScreenColumns; ++col) PutCell(ed_, col, Row, ' ', 0x0F);
        }
        // Typing fills the field and no more.
        if (InputFieldColumn + length_ >= ed_.con.ScreenColumns) return;
        store_.insert(store_.begin() + cursor_, static_cast<char>(c));
        store_.resize(MaxText);
        ++length_;
        touched = true;
        if (InputFieldColumn + cursor_ < ed_.con.ScreenColumns) ++cursor_;
        Draw();
    }
    void InsertString(const std::string& s)
    {
        for (char c : s) Insert(static_cast<uint8_t>(c));
    }

    void DeleteAtCursor()
    {
        if (cursor_ >= length_) return;
        store_.erase(store_.begin() + cursor_);
        store_.resize(MaxText, ' ');
        --length_;
        touched = true;
        Draw();
    }

    void Left()
    {
        if (cursor_ > 0) --cursor_;
        touched = true;
        Draw();
    }
    void Right()
    {
        if (cursor_ < length_) ++cursor_;
        touched = true;
        Draw();
    }
    void Home()
    {
        cursor_ = 0;
        touched = true;
        Draw();
    }
    void End()
    {
        cursor_ = length_;
        Draw();
    }
    void Backspace()
    {
        if (cursor_ == 0) return;
        --cursor_;
        DeleteAtCursor();
        Draw();
    }
    void DeleteToEnd()
    {
        if (cursor_ < length_) {
            length_ = cursor_;
            touched = true;
        }
        Draw();
    }
    void DropLast()
    {
        if (length_ > 0) --length_;
        touched = true;
        Redisplay();
    }
    void BringBack()
    {
        if (length_ < MaxText) ++length_;
        touched = true;
        Redisplay();
    }
    void Replace(const std::string& s)
    {
        Load(s);
        touched = true;
        Redisplay();
    }
    void Clear()
    {
        length_ = 0;
        Redisplay();
    }
    // The cell right of the cursor (Alt+X shows the shift digit there).
    void Hint(uint8_t ch)
    {
        int offset = std::max(0, cursor_ - (ed_.con.ScreenColumns - InputFieldColumn));
        PutCell(ed_, InputFieldColumn + cursor_ - offset, Row, ch, HintAttr);
        ed_.con.FlushScreen(false);
    }

private:
    Editor& ed_;
    std::string store_;  // 255 characters; those past length_ are kept
    int length_ = 0;
    int cursor_ = 0;     // 0 = column 28
    std::array<uint16_t, InputFieldColumn> prompt_{};
};

// The text of a one-line box block, or the word at the cursor (F5).
std::string BoxOrWord(Editor& ed)
{
    if (ed.BoxFirstLine > 0 && ed.BoxFirstLine == ed.BoxLastLine && ed.BoxFirstColumn > 0 &&
        ed.BoxLastColumn >= ed.BoxFirstColumn && ed.BoxFirstLine <= ed.LineCount) {
        const std::string& line = GetLine(ed, ed.BoxFirstLine);
        std::string s;
        for (int c = ed.BoxFirstColumn; c <= std::min(ed.BoxLastColumn, MaxText); ++c) s += CharAt(line, c);
        return s;
    }
    return WordAtCursor(ed, 2);
}

std::string HexKey(KeyEvent key)
{
    std::string hex;
    for (int shift = 24; shift >= 0; shift -= 8) hex += HexByte(static_cast<uint8_t>(key >> shift));
    return hex;
}

// Reads the next key for the input line: playback or keyboard, then the
// recorder. 1: playback ran out; 127: the recording filled up; 0: a key.
int ReadInputKey(Editor& ed)
{
    if (!GetNextKey(ed)) return 1;
    if (RecordKey(ed)) return 127;
    return 0;
}

bool IsEnterKey(const Editor& ed)
{
    return (ed.KeyScan == 0x1C || ed.KeyScan == 0xE0) &&
           (ed.KeyChar == 0x0D || ed.KeyChar == 0x0A || (ed.KeyChar == 0 && ed.KeyKind == 3));
}

}  // namespace

void AddToHistory(Editor& ed, const std::string& text)
{
    int index = ed.HistoryIndex;
    for (int n = 0; n < HistorySize - 1 && !ed.SearchHistory[index].empty(); ++n) index = (index + 1) % HistorySize;
    ed.SearchHistory[index] = text.substr(0, HistoryWidth);
    ed.HistoryIndex = index;
}

void InputLine(Editor& ed, std::string& text, int mode)
{
    Field field(ed);
    const bool history = mode == InputSearch || mode == InputReplacement;
    bool takeWord = mode == InputMacroWord;
    field.Load(text);
    int result = 0;

    for (bool restart = true; restart;) {
        restart = false;
        if (const char* prompt = ModePrompt(mode)) ShowMessage(ed, prompt, 0);
        field.KeepPrompt();
        if (takeWord) {
            field.Load(CutAtDot(WordAtCursor(ed, 0)));
            field.touched = true;  // typing goes into the word
            takeWord = false;
        } else {
            if (history) field.Load(ed.SearchHistory[ed.HistoryIndex]);
            field.touched = false;
        }
        field.Redisplay();

        for (bool done = false; !done && !restart;) {
            if (int stop = ReadInputKey(ed); stop != 0) {
                result = stop;
                break;
            }
            KeyEvent key = KeyValue(ed);
            uint8_t shift = ed.KeyShift;
            if (IsEnterKey(ed)) {
                if (shift == 0) {
                    result = 0;
                    done = true;
                } else if (mode == InputSearch && (shift & 0x0E)) {
                    ed.KeyScan = 0xF0;  // the search's "again" variant
                    result = 0;
                    done = true;
                }
                continue;
            }
            switch (key) {
            case KeyEsc: result = 1; done = true; break;
            case KeyCtrlP: result = 31; done = true; break;
            case KeyLeft: field.Left(); break;
            case KeyRight: field.Right(); break;
            case KeyHome: field.Home(); break;
            case KeyEnd: field.End(); break;
            case KeyBackspace: field.Backspace(); break;
            case KeyDel: field.DeleteAtCursor(); break;
            case KeyCtrlK: field.DeleteToEnd(); break;
            case KeyShiftLeft: field.DropLast(); break;
            case KeyShiftRight: field.BringBack(); break;
            case KeyUp:
            case KeyPgUp:
            case KeyF7:
                ed.HistoryIndex = (ed.HistoryIndex + HistorySize - 1) % HistorySize;
                restart = true;
                break;
            case KeyDown:
            case KeyPgDn:
                ed.HistoryIndex = (ed.HistoryIndex + 1) % HistorySize;
                restart = true;
                break;
            case KeyF5: field.Replace(BoxOrWord(ed)); break;
            case KeyF6:
            case KeyF8: {
                std::string word = WordAtCursor(ed, 0);
                field.Replace(mode == InputMacroWord ? CutAtDot(word) : word);
                break;
            }
            case KeyCtrlC:
            case KeyCtrlIns:
                WriteClipboardLine(ed, field.Text());
                field.RestorePrompt();
                field.Draw();
                break;
            case KeyCtrlX:
                if (WriteClipboardLine(ed, field.Text())) field.Clear();
                field.RestorePrompt();
                field.Draw();
                break;
            case KeyCtrlV: {
                bool ok = false;
                std::string line = ReadClipboardLine(ed, ok);
                if (ok) field.Replace(line);
                break;
            }
            case KeyCtrlW: WriteHistory(ed); break;
            case KeyCtrlR: ReadHistory(ed); break;
            case KeyShiftF9:
                if (KeyFromPlayback(ed)) break;  // a sequence never restarts its own recording
                if (ed.RecordCount != 0) {
                    result = 127;
                    done = true;
                } else {
                    StartStopRecording(ed);
                    field.RestorePrompt();
                    field.Draw();
                }
                break;
            case KeyAltF3:
                ToggleRus(ed);
                field.Draw();
                break;
            case KeyAltF10: field.Insert(0); break;
            case PasteEvent: {
                // A paste gives its first line, as text (a TAB as a blank).
                std::string line = ed.Paste.text.substr(0, ed.Paste.text.find('\n'));
                line = TextBytesOfUtf8(ed, line);
                std::replace(line.begin(), line.end(), '\t', ' ');
                ed.Paste = {};
                field.InsertString(line);
                break;
            }
            case KeyAltX:
            case KeyCtrlAltTab: {
                if (int stop = ReadInputKey(ed); stop != 0) {
                    result = stop;
                    done = true;
                    break;
                }
                field.InsertString(HexKey(KeyValue(ed)));
                field.Hint(static_cast<uint8_t>(HexByte(ed.RawKeyShift & 0xFF)[1]));
                break;
            }
            default: {
                if (ed.KeyKind == 3 && (shift & 8)) {
                    if (ed.KeyChar == 0 && ed.KeyScan >= 0x78 && ed.KeyScan <= 0x7A) {
                        SetLineBookmark(ed, ed.KeyScan - 0x77);
                        break;
                    }
                    if (ed.KeyChar == 0 && (ed.KeyScan == 0x7E || ed.KeyScan == 0x7F)) {
                        SetPositionBookmark(ed, ed.KeyScan - 0x7D);
                        break;
                    }
                    // Alt+punctuation types the Latin character whatever the
                    // keyboard mode.
                    for (const AltPunctuation& p : AltPunctuationKeys)
                        if (ed.KeyScan == p.scan) field.Insert((shift & 3) ? p.shifted : p.plain);
                    break;
                }
                // Keys without a character of their own (function and
                // navigation keys, Alt combinations) insert nothing.
                if (ed.KeyKind != 0) break;
                uint8_t c = ed.KeyChar;
                if (ed.RusMode) c = RusKey(c);
                field.Insert(c);
                break;
            }
            }
        }
        if (result != 0) break;
    }

    text = field.Text();
    if (field.touched && history) AddToHistory(ed, text);
    ed.OperationFailed = result;
    DrawMessageLine(ed);
}

}  // namespace lumo
