#include "browser/BatchPlan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using browser::BatchJob;
using browser::BatchPlan;

// Names the plan visits, with "+" on those it pastes.
std::string Visits(const BatchPlan& plan) {
    std::string names;
    for (int i = 0; i < plan.VisitCount(); ++i) {
        names += plan.Name(i) + (plan.Takes(i) ? "+ " : " ");
    }
    return names;
}

TEST(BatchPlan, PicturesVisitedAndTakenInListOrder) {
    const std::vector<browser::ListEntry> entries = {
        {"..", browser::ParentFolder, true},  {"sub", browser::Folder, true},
        {"a.jpg", browser::ImageFile, true},  {"a.JPG", browser::ImageFile, false},
        {"a.jpeg", browser::ImageFile, true}, {"x.y.jpg", browser::ImageFile, true}};
    const struct {
        unsigned files;
        const char* pattern;
        const char* visits;
    } cases[] = {
        {browser::Selected, "*.jpg", "a.jpg+ a.jpeg+ x.y.jpg+ "},
        {browser::AllInFolder, "", "a.jpg+ a.JPG+ a.jpeg+ x.y.jpg+ "},
        {65535, "", "a.jpg+ a.JPG+ a.jpeg+ x.y.jpg+ "},
        // The asterisk stops at the first dot and letters keep their case.
        {browser::Matching, "*.jpg", "a.jpg+ a.JPG a.jpeg x.y.jpg "},
        {browser::Matching, "a.*", "a.jpg+ a.JPG+ a.jpeg+ x.y.jpg "},
        {browser::Matching, "", "a.jpg a.JPG a.jpeg x.y.jpg "},
    };
    for (const auto& c : cases) {
        BatchJob job;
        job.folder = "C:\\pics";
        job.entries = entries;
        job.files = c.files;
        job.pattern = c.pattern;
        const BatchPlan plan(job);
        EXPECT_EQ(Visits(plan), c.visits) << c.files << " " << c.pattern;
        EXPECT_EQ(plan.VisitCount(),
                  BatchPlan::CountPictures(entries, c.files == browser::Selected));
        EXPECT_EQ(plan.Path(1), "C:\\pics\\" + plan.Name(1));
    }
}

} // namespace
