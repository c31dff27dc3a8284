// Writers called once the thread's buffer is gone: from a static destructor,
// an atexit handler or a thread_local destructor.
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/use_at_exit.h"
#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"

namespace vantrel {
namespace {

struct WriterForm {
  const char* name;
  std::string (*write)(const Json& json);
  const char* text;
};

const WriterForm kForms[] = {
    {"makeStringJsonWriter", [](const Json& json) { return json.makeStringJsonWriter(); }, "{\n\t\"b\" : 1\n}\n"},
    {"makeData", [](const Json& json) { return json.makeData(); }, "{\"b\":1}"},
    {"makeStringSystem", [](const Json& json) { return json.makeStringSystem(); }, "{\n  \"b\" : 1\n}"},
    {"makeStringCompact", [](const Json& json) { return json.makeStringCompact().value_or(""); }, "{\"b\": 1}"},
    {"description", [](const Json& json) { return json.description(); }, "Json(type=dictionary, content={\"b\": 1})"},
    {"JsonWriter", [](const Json& json) { return JsonWriter(std::nullopt).string(json.managedJsonObject()); }, "{\"b\":1}\n"},
};

const WriterForm* gForm = nullptr;

// The first call, in `main`, grows the thread's buffer past its first size.
void writeInEveryForm() {
  constinit thread_local bool grown = false;
  if (!grown) {
    grown = true;
    if (Json(std::vector<std::string>(5, std::string(30000, 'x'))).makeStringJsonWriter().size() < 150000) std::abort();
  }
  if (gForm->write(Json::fromParseString("{\"b\":1}")) != gForm->text) std::abort();
}

// The texts the check below expects, with a readable failure.
TEST(JsonAtExit, FormsWriteTheTextsTheCheckExpects) {
  for (const WriterForm& form : kForms) {
    EXPECT_EQ(form.write(Json::fromParseString("{\"b\":1}")), form.text) << form.name;
  }
}

TEST(JsonAtExit, EveryWriterFormWorksOnceTheThreadsBufferIsGone) {
  for (const WriterForm& form : kForms) {
    SCOPED_TRACE(form.name);
    gForm = &form;
    EXPECT_USE_AT_EXIT(writeInEveryForm);
  }
}

}  // namespace
}  // namespace vantrel
