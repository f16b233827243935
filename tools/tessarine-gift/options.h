#pragma once
// Command-line options of the tessarine-gift commands: "--name value",
// "--name=value", "-x value" for declared short aliases, bare flags, and
// positional arguments. Every problem is a TUsageError naming the option.

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct TOptionDecl {
  TOptionDecl(QString name, bool takesValue = true, QString shortName = {})
      : Name(std::move(name)), TakesValue(takesValue), ShortName(std::move(shortName)) {}

  QString Name;  // "--title"
  bool TakesValue;
  QString ShortName;  // another name for it ("-o"), or empty
};

class TOptions {
 public:
  // Throws TUsageError for an unknown option, a missing value or an option
  // given twice.
  TOptions(const QStringList& args, const QList<TOptionDecl>& declared);

  bool Has(const QString& name) const { return values_.contains(name) || flags_.contains(name); }
  bool Flag(const QString& name) const { return flags_.contains(name); }
  std::optional<QString> Value(const QString& name) const;
  // The value, or a TUsageError saying that the option is required.
  QString Required(const QString& name) const;
  // A whole number in [min, max] (decimal, or hexadecimal after "0x" or "$"),
  // or fallback when the option is absent.
  std::int64_t Integer(const QString& name, std::int64_t min, std::int64_t max,
                       std::int64_t fallback) const;
  // One of the given words (case-insensitive); the result is its index.
  int Choice(const QString& name, const QStringList& words, int fallback) const;

  const QStringList& Positional() const { return positional_; }
  // Throws unless exactly count positional arguments were given; what names
  // them in the message ("GIFT").
  void ExpectPositional(int count, const QString& what) const;

 private:
  QMap<QString, QString> values_;
  QSet<QString> flags_;
  QStringList positional_;
};
