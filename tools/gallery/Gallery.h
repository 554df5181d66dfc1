#pragma once
// Developer gallery: the program's artwork on every skinned control, in four host/child pairs.
#include <functional>
#include <memory>
#include "CheckBoxes.h"
#include "DrawStateInfoStatic.h"
#include "DrawTextStatic.h"
#include "PngButtons.h"
#include "SkinDialogs.h"
#include "SkinScrollWnd.h"
#include "TextVcenterEdit.h"

// A host whose child is made by a factory.
class CGalleryHost : public CSkinHostDlg {
public:
    using Factory = std::function<std::unique_ptr<CSkinChildDlg>()>;
    CGalleryHost(UINT templateId, const skin::HostFrame& frame, Factory factory)
        : CSkinHostDlg(templateId, frame), factory_(std::move(factory)) {}

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override { return factory_(); }

private:
    Factory factory_;
};

// The main window's child with its controls laid out as the program lays them out.
class CGalleryMainChild : public CSkinChildDlg {
public:
    CGalleryMainChild();
    void Layout() override;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;

private:
    CPngButton close_, minimise_;
    CPngCheckBoxEx checks_[8];
    CTextVcenterEdit path_;
    CFeaturePngButton browse_, start_;
    CDrawTextStatic title_, link_;
};

// The progress prompt's child: the animated status text.
class CGalleryProgressChild : public CSkinChildDlg {
public:
    CGalleryProgressChild();
    void Layout() override;

protected:
    void DoDataExchange() override;
    void OnDestroy() override;

private:
    CDrawStateInfoStatic text_;
};

// The usage-terms child: close and start buttons, the consent box and the terms link.
class CGalleryUsageChild : public CSkinChildDlg {
public:
    CGalleryUsageChild();
    void Layout() override;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;

private:
    CPngButton close_, start_;
    CCheckBoxBtn consent_;
    CDrawTextStatic link_;
};

// The terms panel's child: a rich edit with skinned scroll bars.
class CGalleryTermsChild : public CSkinChildDlg {
public:
    CGalleryTermsChild();
    ~CGalleryTermsChild() override;
    void Layout() override;

private:
    HBITMAP scrollSkin_ = nullptr;  // shared by the bars; freed after the window is gone
};
