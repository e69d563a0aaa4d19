// The call bridge's work with the markup parser, beside TinyXML and pugixml doing the same work on
// the same texts: parse a request and read its call name and every argument as owned strings
// (each search going on after the previous match), and build the reply "<number>42</number>"
// followed by CR LF. Every iteration builds its document afresh, as the bridge does per call.
// Before timing, the program checks that the three libraries read and write the same values.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <string>

#include "xml_archive.h"

#ifdef BR_HAVE_TINYXML
#include <tinyxml.h>
#endif
#ifdef BR_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

namespace {

const char kOpenRequest[] =
    "<invoke name=\"BROpenMusic\" returntype=\"xml\"><arguments>"
    "<string>http://music.example.com/mix/2011/deep_house_session_42.mp3</string>"
    "<string>Deep House Session &amp; Friends</string><string>DJ Example</string>"
    "<string>3735928559</string><string>305419896</string><number>1</number>"
    "</arguments></invoke>";
const char kQueryRequest[] =
    "<invoke name=\"BRGetPlayState\" returntype=\"xml\"><arguments></arguments></invoke>";
const char kReply[] = "<number>42</number>\r\n";

struct Call {
    std::string name;
    std::string strings[5];
    std::string number;
    bool operator==(const Call&) const = default;
};

struct Decimal {
    explicit Decimal(int value) { std::to_chars(text, text + sizeof(text) - 1, value); }
    char text[64] = {};
};

Call ReadMarkup(const char* request, int strings, bool number) {
    Call call;
    CXmlArchive doc(3);
    doc.Open(request);
    if (doc.FindElement("invoke")) {
        call.name = doc.GetAttribute("name");
        if ((strings > 0 || number) && doc.IntoElement() && doc.FindElement("arguments") &&
            doc.IntoElement()) {
            for (int i = 0; i < strings; ++i) {
                if (doc.FindElement("string")) {
                    call.strings[i] = doc.GetData();
                }
            }
            if (number && doc.FindElement("number")) {
                call.number = doc.GetData();
            }
        }
    }
    doc.Close();
    return call;
}

std::string ReplyMarkup(int value) {
    const Decimal decimal(value);
    CXmlArchive doc(3);
    doc.AddElement("number", decimal.text);
    return doc.GetDocText();
}

#ifdef BR_HAVE_TINYXML
Call ReadTinyXml(const char* request, int strings, bool number) {
    Call call;
    TiXmlDocument doc;
    doc.Parse(request);
    TiXmlElement* invoke = doc.FirstChildElement("invoke");
    if (invoke != nullptr) {
        const char* name = invoke->Attribute("name");
        call.name = name ? name : "";
        TiXmlElement* arguments = invoke->FirstChildElement("arguments");
        if ((strings > 0 || number) && arguments != nullptr) {
            TiXmlElement* last = nullptr;
            auto find = [&](const char* kind, std::string& value) {
                TiXmlElement* e =
                    last ? last->NextSiblingElement(kind) : arguments->FirstChildElement(kind);
                if (e != nullptr) {
                    last = e;
                    const char* text = e->GetText();
                    value = text ? text : "";
                }
            };
            for (int i = 0; i < strings; ++i) {
                find("string", call.strings[i]);
            }
            if (number) {
                find("number", call.number);
            }
        }
    }
    return call;
}

std::string ReplyTinyXml(int value) {
    const Decimal decimal(value);
    TiXmlDocument doc;
    auto* element = new TiXmlElement("number");
    element->LinkEndChild(new TiXmlText(decimal.text));
    doc.LinkEndChild(element);
    TiXmlPrinter printer;
    printer.SetIndent("");
    printer.SetLineBreak("\r\n");
    doc.Accept(&printer);
    return printer.Str();
}
#endif

#ifdef BR_HAVE_PUGIXML
Call ReadPugixml(const char* request, int strings, bool number) {
    Call call;
    pugi::xml_document doc;
    doc.load_string(request);
    const pugi::xml_node invoke = doc.child("invoke");
    if (invoke) {
        call.name = invoke.attribute("name").value();
        const pugi::xml_node arguments = invoke.child("arguments");
        if ((strings > 0 || number) && arguments) {
            pugi::xml_node last;
            auto find = [&](const char* kind, std::string& value) {
                const pugi::xml_node e = last ? last.next_sibling(kind) : arguments.child(kind);
                if (e) {
                    last = e;
                    value = e.child_value();
                }
            };
            for (int i = 0; i < strings; ++i) {
                find("string", call.strings[i]);
            }
            if (number) {
                find("number", call.number);
            }
        }
    }
    return call;
}

struct StringWriter : pugi::xml_writer {
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

std::string ReplyPugixml(int value) {
    const Decimal decimal(value);
    pugi::xml_document doc;
    doc.append_child("number").append_child(pugi::node_pcdata).set_value(decimal.text);
    StringWriter writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration);
    writer.text += "\r\n";
    return writer.text;
}
#endif

template <Call (*Read)(const char*, int, bool)>
void OpenRequest(benchmark::State& state) {
    for (auto _ : state) {
        Call call = Read(kOpenRequest, 5, true);
        benchmark::DoNotOptimize(call);
    }
}

template <Call (*Read)(const char*, int, bool)>
void QueryRequest(benchmark::State& state) {
    for (auto _ : state) {
        Call call = Read(kQueryRequest, 0, false);
        benchmark::DoNotOptimize(call);
    }
}

template <std::string (*Reply)(int)>
void NumberReply(benchmark::State& state) {
    for (auto _ : state) {
        std::string reply = Reply(42);
        benchmark::DoNotOptimize(reply);
    }
}

BENCHMARK(OpenRequest<ReadMarkup>)->Name("OpenRequest/markup");
BENCHMARK(QueryRequest<ReadMarkup>)->Name("QueryRequest/markup");
BENCHMARK(NumberReply<ReplyMarkup>)->Name("NumberReply/markup");
#ifdef BR_HAVE_TINYXML
BENCHMARK(OpenRequest<ReadTinyXml>)->Name("OpenRequest/tinyxml");
BENCHMARK(QueryRequest<ReadTinyXml>)->Name("QueryRequest/tinyxml");
BENCHMARK(NumberReply<ReplyTinyXml>)->Name("NumberReply/tinyxml");
#endif
#ifdef BR_HAVE_PUGIXML
BENCHMARK(OpenRequest<ReadPugixml>)->Name("OpenRequest/pugixml");
BENCHMARK(QueryRequest<ReadPugixml>)->Name("QueryRequest/pugixml");
BENCHMARK(NumberReply<ReplyPugixml>)->Name("NumberReply/pugixml");
#endif

// All libraries must do the same work: read the same values and write the same reply.
bool SameResults() {
    const Call open = ReadMarkup(kOpenRequest, 5, true);
    const Call query = ReadMarkup(kQueryRequest, 0, false);
    bool same = open.name == "BROpenMusic" && open.strings[1] == "Deep House Session & Friends" &&
                open.number == "1" && query.name == "BRGetPlayState" && ReplyMarkup(42) == kReply;
#ifdef BR_HAVE_TINYXML
    same = same && ReadTinyXml(kOpenRequest, 5, true) == open &&
           ReadTinyXml(kQueryRequest, 0, false) == query && ReplyTinyXml(42) == kReply;
#endif
#ifdef BR_HAVE_PUGIXML
    same = same && ReadPugixml(kOpenRequest, 5, true) == open &&
           ReadPugixml(kQueryRequest, 0, false) == query && ReplyPugixml(42) == kReply;
#endif
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    if (!SameResults()) {
        std::fprintf(stderr, "markup_bench: the libraries disagree on the texts\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
