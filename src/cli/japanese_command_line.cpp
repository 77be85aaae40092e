#include "japanese_command_line.h"

#include <string_view>

#include "messages/command_line_texts.h"
#include "messages/message_template.h"

namespace vesk::cli {

namespace {

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The parser's texts name what they are about before a fixed phrase ("--dest is
// required") or after one ("... not expected: a b"); these take the name out.
std::string before(std::string_view text, std::string_view phrase) {
  const std::size_t at = text.find(phrase);
  return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string after(std::string_view text, std::string_view phrase) {
  const std::size_t at = text.find(phrase);
  return std::string(at == std::string_view::npos ? text : text.substr(at + phrase.size()));
}

}  // namespace

std::string commandLineComplaint(const CLI::ParseError& error,
                                 const std::vector<std::string>& unexpected) {
  const std::string_view text = error.what();
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    if (text == "A subcommand is required") return kCliSubcommandMissing;
    if (endsWith(text, " is required")) {
      return fillTemplate(kCliArgumentMissing, {{"name", before(text, " is required")}});
    }
  } else if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    // The parser's text lists them backwards.
    if (!unexpected.empty()) {
      std::string arguments;
      for (const std::string& argument : unexpected) {
        if (!arguments.empty()) arguments += ' ';
        arguments += argument;
      }
      return fillTemplate(kCliUnexpectedArguments, {{"arguments", arguments}});
    }
  } else if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
    // "Could not convert: --entry = a,b": a value for --entry that is not whole
    // triples, or a value given to a flag.
    const std::string name = before(after(text, "Could not convert: "), " = ");
    if (name.rfind("--entry", 0) == 0) return kCliEntryValues;
    if (name.rfind("--", 0) == 0) return fillTemplate(kCliFlagTakesNoValue, {{"name", name}});
  } else if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    // "--entry: 3 required TEXT missing", or "Expected exactly 1 arguments to --out, got 0".
    const std::string name = text.find(" arguments to ") != std::string_view::npos
                                 ? before(after(text, " arguments to "), ", got")
                                 : before(text, ":");
    if (name.rfind("--entry", 0) == 0) return kCliEntryValues;
    // "--dest: At Most 1 required but received 2": an option of one value given twice.
    if (text.find(": At Most 1 required") != std::string_view::npos) {
      return fillTemplate(kCliOptionRepeated, {{"name", name}});
    }
    return fillTemplate(kCliValueCountWrong, {{"name", name}});
  }
  return fillTemplate(kCliCommandLineWrong, {{"detail", std::string(text)}});
}

void useJapaneseHelp(CLI::App& app) {
  const auto formatter = app.get_formatter();
  formatter->label("Usage", kCliUsageLabel);
  formatter->label("OPTIONS", kCliOptionsLabel);
  formatter->label("SUBCOMMAND", kCliSubcommandLabel);
  formatter->label("SUBCOMMANDS", kCliSubcommandLabel);
  formatter->label("Positionals", kCliArgumentsLabel);
  // The help's columns are laid out by bytes: what stands left of a description stays
  // ASCII (option names and value names), and a required option says so in its text.
  formatter->label("REQUIRED", "");
  for (CLI::Option* option : app.get_options([](CLI::Option* o) { return o->nonpositional(); })) {
    option->group(kCliOptionsLabel);
  }
  for (CLI::App* sub : app.get_subcommands({})) {
    sub->group(kCliSubcommandLabel);
    sub->formatter(formatter);
    useJapaneseHelp(*sub);
  }
}

}  // namespace vesk::cli
