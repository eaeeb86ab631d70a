#pragma once
// A fiscal printer whose operations record what they were given and answer a programmed code,
// leaving the outputs as the handler preset them unless a test says otherwise.
#include <string>
#include <vector>

#include "automation/NumberText.h"
#include "automation/Text.h"
#include "fiscal/uBaseFR.h"

namespace fr::test {

class TRecordingFR : public TBaseFR {
public:
    std::vector<std::string> calls;  // "Name(arg,arg)"
    int32_t answer = 0;
    std::u16string answerText;
    // Outputs the operations set when given.
    int32_t recType = -1;
    int64_t recSum = -10000;
    int32_t unsentCount = 0;
    double unsentDate = 0;
    std::u16string printed;  // the last PrintText

    int32_t OpenDay(const std::u16string& id, const std::u16string& name, TFiscalResult&, std::u16string& d) override {
        return done("OpenDay(" + u8(id) + "," + u8(name) + ")", d);
    }
    int32_t PrintReceipt(Variant&, Variant&, Variant&, TFiscalResult&, std::u16string& d) override {
        return done("PrintReceipt", d);
    }
    int32_t Encash(int32_t type, int64_t sum, TFiscalResult&, std::u16string& d) override {
        return done("Encash(" + std::to_string(type) + "," + std::to_string(sum) + ")", d);
    }
    int32_t PrintXReport(TFiscalResult&, std::u16string& d, const std::u16string& name) override {
        return done("PrintXReport(" + u8(name) + ")", d);
    }
    int32_t PrintExtReport(int32_t type, double b, double e, int32_t bd, int32_t ed, int32_t kpk, TFiscalResult&,
                           std::u16string& d) override {
        lastBeginDate = b;
        lastEndDate = e;
        return done("PrintExtReport(" + std::to_string(type) + "," + std::to_string(bd) + "," + std::to_string(ed) +
                        "," + std::to_string(kpk) + ")",
                    d);
    }
    int32_t PrintTemplateDocument(const Variant&, int32_t n, int32_t dest, bool noCut, std::u16string& d) override {
        return done("PrintTemplateDocument(" + std::to_string(n) + "," + std::to_string(dest) + "," +
                        (noCut ? "true" : "false") + ")",
                    d);
    }
    int32_t GetLastDocInfo(TFiscalResult&, int32_t& type, int64_t& sum, std::u16string& d) override {
        type = recType;
        sum = recSum;
        return done("GetLastDocInfo", d);
    }
    int32_t SetDateTime(double date, std::u16string& d) override {
        lastBeginDate = date;
        return done("SetDateTime", d);
    }
    int32_t PrintText(const std::u16string& text, bool noCut, int32_t dest, std::u16string& d) override {
        printed = text;
        return done("PrintText(" + std::string(noCut ? "true" : "false") + "," + std::to_string(dest) + ")", d);
    }
    int32_t UploadTemplate(int32_t n, const std::u16string& text, const Variant&, std::u16string& d) override {
        return done("UploadTemplate(" + std::to_string(n) + "," + u8(text) + ")", d);
    }
    int32_t DownloadTemplate(int32_t n, std::u16string& text, Variant& sections, std::u16string& d) override {
        text = u"Шаблон";
        sections = Variant(VariantArray::vector({Variant(1)}));
        return done("DownloadTemplate(" + std::to_string(n) + ")", d);
    }
    int32_t PrintEGAISSubReport(const std::u16string& inn, const std::u16string& kpp, int32_t& recNum,
                                const std::u16string& qr, const std::u16string& footprint, int32_t&, int32_t&,
                                double&, std::u16string& d) override {
        const std::string s = "PrintEGAISSubReport(" + u8(inn) + "," + u8(kpp) + "," + std::to_string(recNum) + "," +
                              u8(qr) + "," + u8(footprint) + ")";
        recNum += 1;
        return done(s, d);
    }
    int32_t CheckUnsentDocuments(int32_t& count, double& date, std::u16string& d) override {
        count = unsentCount;
        date = unsentDate;
        return done("CheckUnsentDocuments", d);
    }

    double lastBeginDate = 0, lastEndDate = 0;

private:
    int32_t done(std::string call, std::u16string& d) {
        calls.push_back(std::move(call));
        d = answerText;
        return answer;
    }
};

}  // namespace fr::test
