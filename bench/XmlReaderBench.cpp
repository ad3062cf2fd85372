// Reading a FetchSMS reply of 10 000 received messages: parse, then read every element's
// text and every attribute, as the reply storing does. pugixml walks the same document
// and copies the same values into strings, which is what the callers need.
#include "service/XmlReader.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <string>

namespace {

constexpr int kGroups = 10'000;

std::string makeFetchReply()
{
    std::string doc = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<FetchSMSResult xmlns=\"http://tempuri.org/\">"
                      "<RetCode>Sucess</RetCode><Count>"
        + std::to_string(kGroups) + "</Count><Nodes>";
    for (int i = 0; i < kGroups; ++i) {
        const std::string phone = std::to_string(13'800'000'000LL + i);
        const std::string second = std::to_string(10 + i % 50);
        doc += "\n  <SMSGroup Phone=\"" + phone + "\" RecDateTime=\"2026-03-14 09:26:" + second + "\" PostFixNumber=\""
            + std::to_string(i % 100) + "\">收到，谢谢！第" + std::to_string(i)
            + "条回复 &amp; 祝您生意兴隆，请于明天下午三点前回电确认</SMSGroup>";
    }
    doc += "\n</Nodes></FetchSMSResult>";
    return doc;
}

const std::string& fetchReply()
{
    static const std::string doc = makeFetchReply();
    return doc;
}

void BM_XmlReader(benchmark::State& state)
{
    const std::string& doc = fetchReply();
    for (auto _ : state) {
        telvora::CXmlReader xml(doc);
        std::size_t bytes = 0;
        xml.FindChildElem("Count");
        bytes += xml.GetChildData().size();
        xml.FindChildElem("Nodes");
        xml.IntoElem();
        int groups = 0;
        while (xml.FindChildElem("SMSGroup")) {
            xml.IntoElem();
            const std::string content = xml.GetData();
            const std::string phone = xml.GetAttrib("Phone");
            const std::string time = xml.GetAttrib("RecDateTime");
            const std::string postfix = xml.GetAttrib("PostFixNumber");
            bytes += content.size() + phone.size() + time.size() + postfix.size();
            xml.OutOfElem();
            ++groups;
        }
        if (groups != kGroups) {
            state.SkipWithError("wrong group count");
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(doc.size()));
}
BENCHMARK(BM_XmlReader)->Unit(benchmark::kMillisecond);

void BM_Pugixml(benchmark::State& state)
{
    const std::string& doc = fetchReply();
    for (auto _ : state) {
        pugi::xml_document xml;
        xml.load_buffer(doc.data(), doc.size());
        std::size_t bytes = 0;
        const pugi::xml_node root = xml.document_element();
        bytes += std::string(root.child("Count").child_value()).size();
        int groups = 0;
        for (const pugi::xml_node group : root.child("Nodes").children("SMSGroup")) {
            const std::string content = group.child_value();
            const std::string phone = group.attribute("Phone").value();
            const std::string time = group.attribute("RecDateTime").value();
            const std::string postfix = group.attribute("PostFixNumber").value();
            bytes += content.size() + phone.size() + time.size() + postfix.size();
            ++groups;
        }
        if (groups != kGroups) {
            state.SkipWithError("wrong group count");
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(doc.size()));
}
BENCHMARK(BM_Pugixml)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
