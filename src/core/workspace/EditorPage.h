#pragma once
// What the editing session needs of the editor page: the commands it sends.
// The desktop program's bridge to its web view implements it; tests use a
// recording fake, so the session's rules run without a browser.
#include <string>

namespace qm {

class TEditorPage {
public:
    virtual ~TEditorPage() = default;

    virtual void NavigateToEditor(const std::string& editorHtmlFile) = 0;
    virtual void SetHtml(const std::string& html) = 0;
    virtual void RequestHtml() = 0;
    virtual void RequestHeader() = 0;
    virtual void SetHeaderHtml(const std::string& headerHtml) = 0;
    virtual void SetHeaderBgColor(const std::string& colorHtml) = 0;
    virtual void SetCssFile(const std::string& cssFilePath) = 0;
    virtual void SetBaseHref(const std::string& href) = 0;
    virtual void SetPageBgColor(const std::string& colorHtml) = 0;
    virtual void SetTextColor(const std::string& colorHtml) = 0;
    virtual void SetTextBackColor(const std::string& colorHtml) = 0;
    virtual void SetFontName(const std::string& fontName) = 0;
    virtual void SetFontSizePx(int px) = 0;
    virtual void SetLineSpacing(double lineHeight) = 0;
    virtual void SetTableBorderStyle(const std::string& borderStyle) = 0;
    virtual void SetTableBorderWidth(int px) = 0;
    virtual void SetTableBorderColor(const std::string& colorHtml) = 0;

    // Commands sent between Begin and End are reported back by the page as
    // not the author's; nests.
    virtual void BeginProgrammatic() = 0;
    virtual void EndProgrammatic() = 0;
};

// Brackets commands that the page must not report as the author's.
class TProgrammaticScope {
public:
    explicit TProgrammaticScope(TEditorPage& page) : FPage(page) { FPage.BeginProgrammatic(); }
    ~TProgrammaticScope() { FPage.EndProgrammatic(); }
    TProgrammaticScope(const TProgrammaticScope&) = delete;
    TProgrammaticScope& operator=(const TProgrammaticScope&) = delete;

private:
    TEditorPage& FPage;
};

} // namespace qm
