#include "app/page_tree.h"

#include "base/win_state.h"
#include "diag/program_log.h"
#include "modem/modem_page.h"
#include "net/host_list_page.h"
#include "net/role_page.h"
#include "present/block_list_page.h"
#include "present/caller_log_page.h"
#include "present/phone_book_page.h"
#include "present/popup_page.h"
#include "present/sounds_page.h"
#include "res/resource_ids.h"
#include "ui/support_page.h"
#include "ui/tree_view.h"

namespace {

HTREEITEM AddPage(HWND mainWindow, HTREEITEM parent, HWND page, UINT textId) {
    return AddTreeItemRes(mainWindow, IDC_PAGE_TREE, parent, reinterpret_cast<LPARAM>(page), textId);
}

void BroadcastFrom(HWND tree, HTREEITEM item, UINT message, WPARAM wParam, LPARAM lParam) {
    for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        HWND page = GetTreeItemData(g_win.mainWindow, IDC_PAGE_TREE, item);
        if (page != nullptr && IsWindow(page)) SendMessageA(page, message, wParam, lParam);
        HTREEITEM child = TreeView_GetChild(tree, item);
        if (child != nullptr) BroadcastFrom(tree, child, message, wParam, lParam);
    }
}

}  // namespace

void FillPageTree(HWND mainWindow) {
    AddPage(mainWindow, nullptr, CreateCallerLogPage(mainWindow), IDS_PAGE_CALLER_LOG);
    HTREEITEM modem = AddPage(mainWindow, nullptr, CreateRolePage(mainWindow), IDS_PAGE_MODEM);
    for (int port = 1; port <= 4; ++port) {
        HWND page = CreateModemPage(mainWindow, port);
        char name[8];
        wsprintfA(name, "COM%d", port);
        AddTreeItem(mainWindow, IDC_PAGE_TREE, modem, reinterpret_cast<LPARAM>(page), name);
    }
    AddPage(mainWindow, nullptr, CreateHostListPage(mainWindow), IDS_PAGE_NETWORK);
    HTREEITEM popup = AddPage(mainWindow, nullptr, CreatePopupPage(mainWindow), IDS_PAGE_POPUP);
    AddPage(mainWindow, popup, CreateSoundsPage(mainWindow), IDS_PAGE_SOUNDS);
    HTREEITEM book = AddPage(mainWindow, nullptr, CreatePhoneBookPage(mainWindow), IDS_PAGE_PHONE_BOOK);
    AddPage(mainWindow, book, CreateBlockListPage(mainWindow), IDS_PAGE_BLOCK_LIST);
    HTREEITEM support = AddPage(mainWindow, nullptr, CreateSupportPage(mainWindow), IDS_PAGE_SUPPORT);
    AddPage(mainWindow, support, CreateProgramLogPage(mainWindow), IDS_PAGE_PROGRAM_LOG);
}

void BroadcastToPages(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND tree = GetDlgItem(g_win.mainWindow, IDC_PAGE_TREE);
    BroadcastFrom(tree, TreeView_GetRoot(tree), message, wParam, lParam);
}

HWND GetSelectedPage(HWND mainWindow) {
    HTREEITEM selected = GetSelectedTreeItem(mainWindow, IDC_PAGE_TREE);
    return selected != nullptr ? GetTreeItemData(mainWindow, IDC_PAGE_TREE, selected) : nullptr;
}
