// The address book on 100,000 cards, each against its yardstick in the same run.
//
//   cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON -DBUILD_UI=OFF -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench card_import_bench && build-bench/bin/card_import_bench
//
// "SpreadsheetImport" times the standard spreadsheet import of a 100,000-row .xlsx (phone,
// name, sex, group, birthday) from opening the file to the last commit; its counters carry
// liborcus's own load of the file, one prepared insert of the same rows in one transaction,
// and the import's ratio to the sum of both. "FolderOpen" times opening a folder of 100,000
// cards up to its first block, and the next block, against the raw query for 1,000 rows;
// count_label_ms is the count the label then asks for.
// peak_rss_MB is the process's peak so far: run one benchmark alone (--benchmark_filter) for
// its own figure.
#include "BenchSupport.h"
#include "app/AppContext.h"
#include "contacts/CardImporter.h"
#include "contacts/CardListPager.h"
#include "contacts/FieldCatalogue.h"
#include "contacts/SpreadsheetReader.h"
#include "db/ADODataBase.h"
#include "db/DateTime.h"
#include "db/PreparedStatement.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <xlsxwriter.h>

namespace telvora {
namespace {

using bench::Clock;
using bench::dataDirectory;
using bench::peakResidentMegabytes;
using bench::seconds;
constexpr int kRows = 100'000;

struct Customer
{
    std::string phone;
    std::string name;
    std::string sex;
    std::string group;
    std::string birthday;
};

std::vector<Customer> customers()
{
    std::vector<Customer> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        rows.push_back({std::to_string(13800000000LL + i), "客户" + std::to_string(i), i % 2 ? "男" : "女",
            i % 3 ? "老客户" : "新客户",
            DateTime::fromFields(1960 + i % 40, 1 + i % 12, 1 + i % 28).format("%Y-%m-%d")});
    }
    return rows;
}

void writeWorkbook(const std::string& path, const std::vector<Customer>& rows)
{
    lxw_workbook* workbook = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "客户");
    const char* headers[] = {"手机", "姓名", "性别", "组别", "生日"};
    for (lxw_col_t c = 0; c < 5; ++c)
        worksheet_write_string(sheet, 0, c, headers[c], nullptr);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        worksheet_write_number(sheet, row, 0, std::stod(rows[r].phone), nullptr);
        worksheet_write_string(sheet, row, 1, rows[r].name.c_str(), nullptr);
        worksheet_write_string(sheet, row, 2, rows[r].sex.c_str(), nullptr);
        worksheet_write_string(sheet, row, 3, rows[r].group.c_str(), nullptr);
        worksheet_write_string(sheet, row, 4, rows[r].birthday.c_str(), nullptr);
    }
    workbook_close(workbook);
}

Clock::duration orcusLoad(const std::string& path)
{
    const auto start = Clock::now();
    orcus::spreadsheet::document document({1048576, 16384});
    orcus::spreadsheet::import_factory factory(document);
    orcus::orcus_xlsx filter(&factory);
    filter.read_file(path);
    return Clock::now() - start;
}

Clock::duration plainInsert(CADODataBase& database, const std::vector<Customer>& rows)
{
    const auto start = Clock::now();
    CPreparedStatement insert(&database);
    insert.Prepare("INSERT INTO tbl_card (phone, name, sex, birtyday, id, folder_id, create_date) VALUES (?, ?, ?, "
                   "?, ?, ?, Now())");
    database.BeginTransaction();
    long long id = 1;
    for (const Customer& row : rows) {
        insert.BindText(1, row.phone);
        insert.BindText(2, row.name);
        insert.BindText(3, row.sex);
        insert.BindText(4, DateTime::parse(row.birthday).toString());
        insert.BindInt(5, id++);
        insert.BindInt(6, 1);
        insert.Execute();
    }
    database.CommitTransaction();
    return Clock::now() - start;
}

void SpreadsheetImport(benchmark::State& state)
{
    test::TempDir files;
    const std::vector<Customer> rows = customers();
    const std::string workbook = files.file("customers.xlsx");
    writeWorkbook(workbook, rows);

    double import = 0;
    double load = 0;
    double insert = 0;
    for (auto _ : state) {
        test::TempDir temp;
        CAppContext app(dataDirectory(temp));
        if (!app.OpenWorkDatabase("import.db")
            || !app.GetDatabase().Execute("INSERT INTO tbl_card_folder (id, name, sub_id) VALUES (1, '目标', 0), (2, "
                                          "'老客户', 0), (3, '新客户', 0)")) {
            state.SkipWithError("no database");
            return;
        }
        const auto start = Clock::now();
        CSpreadsheetReader reader;
        const bool opened = reader.Open(workbook);
        CCardImporter importer(app.GetDatabase(), app.GetNextCardId());
        const CardImportResult result = importer.ImportSpreadsheet(reader, 1);
        const double elapsed = seconds(Clock::now() - start);
        if (!opened || result.imported != kRows) {
            state.SkipWithError("the import did not take every row");
            return;
        }
        import += elapsed;
        state.SetIterationTime(elapsed);

        load += seconds(orcusLoad(workbook));
        app.OpenWorkDatabase("plain.db");
        insert += seconds(plainInsert(app.GetDatabase(), rows));
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["orcus_load_s"] = load / runs;
    state.counters["plain_insert_s"] = insert / runs;
    state.counters["import_vs_yardstick"] = import / (load + insert);
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
}

void FolderOpen(benchmark::State& state)
{
    test::TempDir temp;
    CAppContext app(dataDirectory(temp));
    app.OpenWorkDatabase("cards.db");
    CADODataBase& database = app.GetDatabase();
    database.Execute("INSERT INTO tbl_card_folder (id, name, sub_id) VALUES (1, '全部', 0)");
    plainInsert(database, customers());
    const std::vector<CardField> fields = CFieldCatalogue(database).ListFields();
    const std::string raw = "SELECT id, " + FieldNameList(fields) + " FROM tbl_card WHERE folder_id = 1 ORDER BY id";

    double first = 0;
    double label = 0;
    double next = 0;
    double query = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        CCardListPager pager(database, fields);
        std::vector<CardRow> rows;
        pager.Open(1);
        pager.NextBlock(rows);
        const double firstBlock = seconds(Clock::now() - start);
        start = Clock::now();
        benchmark::DoNotOptimize(pager.Label());
        label += seconds(Clock::now() - start);
        start = Clock::now();
        pager.NextBlock(rows);
        next += seconds(Clock::now() - start);
        if (rows.size() != 2 * CCardListPager::kBlockSize) {
            state.SkipWithError("the blocks did not fill");
            return;
        }
        first += firstBlock;
        state.SetIterationTime(firstBlock);

        // The yardstick: the folder's own query read up to 1,000 rows, texts taken.
        start = Clock::now();
        CPreparedStatement statement(&database);
        statement.Prepare(raw);
        std::size_t read = 0;
        std::string text;
        while (read < CCardListPager::kBlockSize && statement.Step()) {
            for (int c = 0; c <= static_cast<int>(fields.size()); ++c)
                text = statement.GetText(c);
            ++read;
        }
        query += seconds(Clock::now() - start);
        benchmark::DoNotOptimize(text);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["first_block_ms"] = 1000 * first / runs;
    state.counters["count_label_ms"] = 1000 * label / runs;
    state.counters["next_block_ms"] = 1000 * next / runs;
    state.counters["raw_1000_ms"] = 1000 * query / runs;
    state.counters["first_vs_raw"] = first / query;
    state.counters["next_vs_raw"] = next / query;
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
}

BENCHMARK(SpreadsheetImport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FolderOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace telvora

BENCHMARK_MAIN();
