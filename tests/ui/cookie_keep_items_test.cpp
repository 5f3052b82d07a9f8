#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/classify.h"
#include "core/tab_rows.h"
#include "report/report_writer.h"
#include "tests/fakes/fake_shell.h"
#include "ui/item_actions.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"

namespace tw {
namespace {

// Spares the cookies of example.com, or every cookie when the list is unreadable.
class KeepingStores : public ItemStores {
public:
    CookieKeep keep;
    std::vector<std::string> deleted;
    KeepingStores() { keep.list = CookieKeepList(std::vector<std::string>{"example.com"}); }
    void Delete(EntryKind, const std::string& address) override { deleted.push_back(address); }
    bool Spares(EntryKind store, const std::string& address) override {
        return store == EntryKind::Cookie && keep.Spares(address.c_str());
    }
};

class Host : public ItemHost {
public:
    std::vector<std::string> kept;
    int statuses = 0;
    void Navigate(const std::string&) override {}
    void CopyText(const std::string&) override {}
    bool AskYesNo(const char*) override { return true; }
    void ShowStatus(EntryKind) override { ++statuses; }
    void AddToFavorites(const std::string&, const std::string&) override {}
    void ShowCookieDetails(const std::string&) override {}
    void ShowProperties(const std::string&) override {}
    void KeepCookiesOf(const std::string& site) override { kept.push_back(site); }
};

const char* const kRows[] = {"bob@shop.org/", "bob@example.com/", "bob@badexample.com/", "bob@www.example.com/a",
                             "bob@news.org/"};

class KeptRows : public ::testing::Test {
protected:
    KeptRows() {
        ListModelRows rows(model);
        for (const Column& c : LiveColumns(EntryKind::Cookie))
            rows.AddColumn(c);
        for (const char* url : kRows) {
            FileEntry e;
            CopyField(e.url, (std::string("Cookie:") + url).c_str());
            CopyField(e.localFile, "C:\\Cookies\\x.txt");
            rows.AddRow(LiveCookieRow(e, "dd.MM.yyyy"));
        }
    }
    std::vector<std::string> Urls() {
        std::vector<std::string> urls;
        for (int r = 0; r < model.RowCount(); ++r)
            urls.push_back(model.CellText(r, 1));
        return urls;
    }
    int ImageOf(int row) {
        ListCell cell;
        return model.GetCell(row, 0, cell) ? cell.image : -2;
    }
    void SelectOnly(std::vector<int> rows) {
        model.Select(-1, 0, 0);
        for (int r : rows)
            model.Select(r, 0, kKeyControl);
    }

    fakes::FakeClock clock;
    ListModel model{clock};
    ModelItemList list{model};
    KeepingStores stores;
    Host host;
};

TEST_F(KeptRows, SelectedDeletionLeavesTheRowsOfKeptSites) {
    SelectOnly({0, 1, 2, 3});
    EXPECT_EQ(DeleteSelectedItems(1, list, stores), 2);
    EXPECT_EQ(stores.deleted, (std::vector<std::string>{"Cookie:bob@shop.org/", "Cookie:bob@badexample.com/"}));
    EXPECT_EQ(Urls(), (std::vector<std::string>{"bob@example.com/", "bob@www.example.com/a", "bob@news.org/"}));
}

TEST_F(KeptRows, AnUnreadableListLeavesEveryRow) {
    stores.keep.readable = false;
    SelectOnly({0, 2, 4});
    EXPECT_EQ(DeleteSelectedItems(1, list, stores), 0);
    model.Select(4, 0, 0);
    RunItemCommand(kItemCookieDelete, 1, list, stores, host, false, ActiveCodePage());
    EXPECT_TRUE(stores.deleted.empty());
    EXPECT_EQ(model.RowCount(), 5);
    EXPECT_EQ(host.statuses, 1);
}

TEST_F(KeptRows, SingleDeletionOfAKeptRowKeepsIt) {
    for (int row : {3, 0}) {
        model.Select(row, 0, 0);
        RunItemCommand(kItemCookieDelete, 1, list, stores, host, false, ActiveCodePage());
    }
    EXPECT_EQ(stores.deleted, std::vector<std::string>{"Cookie:bob@shop.org/"});
    EXPECT_EQ(Urls(), (std::vector<std::string>{"bob@example.com/", "bob@badexample.com/", "bob@www.example.com/a",
                                                "bob@news.org/"}));
    EXPECT_EQ(host.statuses, 2);
}

TEST_F(KeptRows, KeepThisSiteAddsTheRowsHost) {
    for (int row : {3, -1}) {
        model.Select(row, 0, 0);
        RunItemCommand(kItemCookieKeepSite, 1, list, stores, host, true, ActiveCodePage());
    }
    EXPECT_EQ(host.kept, std::vector<std::string>{"www.example.com"});
}

TEST_F(KeptRows, KeptRowsShowTheirImageAndAreCounted) {
    EXPECT_EQ(MarkKeptCookieRows(model, stores.keep.list), 2);
    std::vector<int> images;
    for (int r = 0; r < model.RowCount(); ++r)
        images.push_back(ImageOf(r));
    EXPECT_EQ(images, (std::vector<int>{kImageCookie, kImageKeptCookie, kImageCookie, kImageKeptCookie, kImageCookie}));
    EXPECT_EQ(MarkKeptCookieRows(model, CookieKeepList()), 0);
    EXPECT_EQ(ImageOf(1), kImageCookie);
    EXPECT_EQ(KeptStatusText(5, 2),
              "Internet Explorer Cookies contain: 5 items, 2 of them from sites whose cookies are kept");
}

TEST(KeptReport, MarksKeptCookiesOnly) {
    EntryArray<FileEntry> entries;
    FileEntry kept, other;
    CopyField(kept.url, "Cookie:bob@www.example.com/");
    CopyField(other.url, "Cookie:bob@badexample.com/");
    entries.Append(kept);
    entries.Append(other);
    const CookieKeepList list(std::vector<std::string>{"example.com"});
    const KeptCookieTest test = [&](const FileEntry& e) { return list.KeepsCookie(e.url); };
    for (ReportKind kind : {ReportKind::Cookies, ReportKind::Cache}) {
        std::FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        WriteReport(f, kind, entries, "dd.MM.yyyy", test);
        std::string written(4096, '\0');
        std::rewind(f);
        written.resize(std::fread(&written[0], 1, written.size(), f));
        std::fclose(f);
        const std::string markedBlock = ReportBlock(kept, "dd.MM.yyyy", true);
        EXPECT_NE(markedBlock.find(" &nbsp;&nbsp;Hits: 0 &nbsp;&nbsp;<b>Kept</b></td>"), std::string::npos);
        // Only the Cookies report marks, and only the kept entry.
        const std::string expected = kind == ReportKind::Cookies ? ReportHead(kind) + markedBlock +
                                                                       ReportBlock(other, "dd.MM.yyyy") + ReportTail()
                                                                 : ReportHead(kind) + ReportTail();
        EXPECT_EQ(written, expected);
    }
}

}  // namespace
}  // namespace tw
