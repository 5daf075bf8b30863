package bridge.test;

import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.Arrays;
import java.util.Comparator;
import java.util.List;
import java.util.stream.Collectors;

/** The native methods of a bridge class, called by reflection with harmless arguments. */
final class Natives {
  private Natives() {}

  static List<Method> of(Class<?> type) {
    return Arrays.stream(type.getDeclaredMethods())
        .filter(m -> Modifier.isNative(m.getModifiers()))
        .sorted(Comparator.comparing(Method::getName))
        .collect(Collectors.toList());
  }

  static Object[] harmlessArguments(Method method) {
    Class<?>[] types = method.getParameterTypes();
    Object[] args = new Object[types.length];
    for (int i = 0; i < types.length; i++) {
      if (types[i] == int.class) args[i] = i + 1;
      else if (types[i] == String.class) args[i] = "s" + i;
      else if (types[i] == byte[].class) args[i] = new byte[] {1, 2, 3, 4};
      else if (types[i] == int[].class) args[i] = new int[2];
      else throw new IllegalArgumentException(method + " takes a " + types[i]);
    }
    return args;
  }

  static Object call(Method method) throws Exception {
    return method.invoke(null, harmlessArguments(method));
  }
}
