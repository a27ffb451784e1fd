// 0.5 written in the user's locale: "0,5" where a decimal-comma locale is
// in force.  inverse_neville itself never asks for the user's locale.
#include <clocale>
#include <cstdio>

int main()
{
	if (std::setlocale(LC_ALL, "") == nullptr) {
		return 1;
	}
	return std::printf("%.1f\n", 0.5) < 0 ? 1 : 0;
}
