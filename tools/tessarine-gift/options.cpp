#include "tools/tessarine-gift/options.h"

#include "game/colornames.h"
#include "tools/tessarine-gift/command.h"

namespace {

const TOptionDecl* FindOption(const QList<TOptionDecl>& declared, const QString& name) {
  for (const TOptionDecl& option : declared)
    if (option.Name == name || (!option.ShortName.isEmpty() && option.ShortName == name)) return &option;
  return nullptr;
}

}  // namespace

TOptions::TOptions(const QStringList& args, const QList<TOptionDecl>& declared) {
  bool onlyPositional = false;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (onlyPositional || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
      positional_ << arg;
      continue;
    }
    if (arg == QLatin1String("--")) {
      onlyPositional = true;
      continue;
    }
    QString name = arg;
    std::optional<QString> inlineValue;
    if (const qsizetype eq = arg.indexOf(u'='); arg.startsWith(QLatin1String("--")) && eq > 0) {
      name = arg.left(eq);
      inlineValue = arg.mid(eq + 1);
    }
    const TOptionDecl* option = FindOption(declared, name);
    if (!option) throw TUsageError{QStringLiteral("unknown option %1").arg(name), true};
    if (Has(option->Name)) throw TUsageError{QStringLiteral("%1 is given twice").arg(option->Name), true};
    if (!option->TakesValue) {
      if (inlineValue) throw TUsageError{QStringLiteral("%1 takes no value").arg(option->Name), true};
      flags_.insert(option->Name);
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= args.size()) throw TUsageError{QStringLiteral("%1 needs a value").arg(option->Name), true};
      inlineValue = args[++i];
    }
    values_.insert(option->Name, *inlineValue);
  }
}

std::optional<QString> TOptions::Value(const QString& name) const {
  const auto found = values_.constFind(name);
  if (found == values_.constEnd()) return std::nullopt;
  return *found;
}

QString TOptions::Required(const QString& name) const {
  const std::optional<QString> value = Value(name);
  if (!value || value->isEmpty()) throw TUsageError{QStringLiteral("%1 is required").arg(name), true};
  return *value;
}

std::int64_t TOptions::Integer(const QString& name, std::int64_t min, std::int64_t max,
                               std::int64_t fallback) const {
  const std::optional<QString> text = Value(name);
  if (!text) return fallback;
  const std::optional<std::int64_t> number = ParseNumber(*text);
  if (!number || *number < min || *number > max)
    throw TUsageError{QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                          .arg(name)
                          .arg(min)
                          .arg(max)
                          .arg(*text)};
  return *number;
}

int TOptions::Choice(const QString& name, const QStringList& words, int fallback) const {
  const std::optional<QString> text = Value(name);
  if (!text) return fallback;
  for (qsizetype i = 0; i < words.size(); ++i)
    if (text->compare(words[i], Qt::CaseInsensitive) == 0) return int(i);
  throw TUsageError{QStringLiteral("%1 must be one of %2, not \"%3\"")
                        .arg(name, words.join(QLatin1String(", ")), *text)};
}

void TOptions::ExpectPositional(int count, const QString& what) const {
  if (positional_.size() < count) throw TUsageError{QStringLiteral("%1 is missing").arg(what), true};
  if (positional_.size() > count)
    throw TUsageError{QStringLiteral("unexpected argument \"%1\"").arg(positional_[count]), true};
}
