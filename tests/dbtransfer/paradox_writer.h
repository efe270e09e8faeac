// Paradox tables as the earlier Windows system left them, written with pxlib itself: the
// tests' own legacy installations.
#pragma once

#include "core/text_codec.h"
#include "db/db_connection.h"
#include "db/db_dialect.h"
#include "dbtransfer/source_layout.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QTime>
#include <QVariant>
// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

namespace zev7::testing {

// Writes one table: fields from the layout (types as Paradox knows them), then the rows. A
// null value stays empty; dates are QDate, times QTime, texts Windows-1251.
// codePage: what the header names; the texts are Windows-1251 bytes whatever it says.
inline bool writeParadoxTable(const QString& path, const TableLayout& layout,
                              const QList<QVariantList>& rows, int codePage = 1251) {
    QFile::remove(path);
    pxdoc_t* doc = PX_new();
    QList<QByteArray> names;
    QList<pxfield_t> fields;
    for (const FieldDef& f : layout) {
        names << f.name.toLatin1();
    }
    for (qsizetype i = 0; i < layout.size(); ++i) {
        char type = pxfLong;
        switch (layout[i].type) {
            case FieldType::AutoIncrement:
                type = pxfAutoInc;
                break;
            case FieldType::Short:
                type = pxfShort;
                break;
            case FieldType::Date:
                type = pxfDate;
                break;
            case FieldType::Time:
                type = pxfTime;
                break;
            case FieldType::Real:
                type = pxfNumber;
                break;
            case FieldType::Text:
                type = pxfAlpha;
                break;
            default:
                break;
        }
        pxfield_t f{};
        f.px_fname = PX_strdup(doc, names[i].constData());
        f.px_ftype = type;
        f.px_flen = layout[i].size;
        f.px_fdc = 0;
        fields << f;
    }
    auto* pxf = static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * fields.size(), "t"));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        pxf[i] = fields[i];
    }
    if (PX_create_file(doc, pxf, static_cast<int>(fields.size()),
                       QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) < 0) {
        PX_delete(doc);
        return false;
    }
    // Texts as Windows wrote them: Windows-1251 bytes.
    PX_set_value(doc, "codepage", static_cast<float>(codePage));
    bool ok = true;
    for (const QVariantList& row : rows) {
        QByteArray data(PX_get_recordsize(doc), '\0');
        int offset = 0;
        for (qsizetype i = 0; i < layout.size(); ++i) {
            char* field = data.data() + offset;
            const int len = layout[i].size;
            const QVariant v = row.value(i);
            if (!v.isNull()) {
                switch (fields[i].px_ftype) {
                    case pxfAlpha: {
                        QByteArray text = toCp1251(v.toString());
                        PX_put_data_alpha(doc, field, len, text.data());
                        break;
                    }
                    case pxfNumber:
                        PX_put_data_double(doc, field, len, v.toDouble());
                        break;
                    case pxfShort:
                        PX_put_data_short(doc, field, len, static_cast<short>(v.toInt()));
                        break;
                    case pxfDate: {
                        const QDate d = v.toDate();
                        PX_put_data_long(doc, field, len,
                                         PX_GregorianToSdn(d.year(), d.month(), d.day()) - 1721425);
                        break;
                    }
                    case pxfTime:
                        PX_put_data_long(doc, field, len, v.toTime().msecsSinceStartOfDay());
                        break;
                    default:
                        PX_put_data_long(doc, field, len, v.toInt());
                        break;
                }
            }
            offset += len;
        }
        ok = ok && PX_put_record(doc, data.data()) >= 0;
    }
    PX_close(doc);
    PX_delete(doc);
    return ok;
}

// The seven tables an installation's results live in.
inline const QStringList& resultTableNames() {
    static const QStringList names{"Table_Out",           "Table_In",       "Table_Cycle",
                                   "Table_Seans",         "Table_ResSeans", "Table_ResCycle",
                                   "Table_Sett_Cycle_Dec"};
    return names;
}

// The own database's result tables, and the dictionary of bad values the earlier system kept
// beside them, written as that system's eight Paradox files into dir. The name of the table
// that could not be written, or empty.
inline QString writeResultTablesAsParadox(const QDir& dir, int codePage = 1251) {
    const auto paradoxValue = [](FieldType type, const QVariant& v) -> QVariant {
        if (v.isNull()) {
            return v;
        }
        if (type == FieldType::Date) {
            return dbDialect().toDate(v);
        }
        return type == FieldType::Time ? QVariant(dbDialect().toTime(v)) : v;
    };
    for (const QString& t : resultTableNames()) {
        const TableLayout layout = installedLayout(t);
        QList<QVariantList> rows;
        QSqlQuery q(DbConnection::main());
        if (!q.exec(QStringLiteral("SELECT * FROM ") + t)) {
            return t;
        }
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < layout.size(); ++i) {
                row << paradoxValue(layout[i].type, q.value(i));
            }
            rows << row;
        }
        if (!writeParadoxTable(dir.filePath(t + QStringLiteral(".db")), layout, rows, codePage)) {
            return t;
        }
    }
    const TableLayout badParam{{QStringLiteral("BAD_ID"), FieldType::Integer, 4},
                               {QStringLiteral("BAD_STR"), FieldType::Text, 10}};
    if (!writeParadoxTable(dir.filePath(QStringLiteral("Table_BadParam.db")), badParam,
                           {{0, QVariant()}})) {
        return QStringLiteral("Table_BadParam");
    }
    return {};
}

}  // namespace zev7::testing
