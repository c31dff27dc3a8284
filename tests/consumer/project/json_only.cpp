// Only json.
#include <cstdio>

#include <vantrel/json/json.h>

int main() {
  vantrel::Json j = vantrel::Json::fromParseString(R"({"a": [1, 2.5], "b": "x"})");
  std::printf("json: %d %s\n", static_cast<int>(j["a"][0].intValue()), j["b"].string().value_or("").c_str());
  return 0;
}
